// The web addresses that the program hands to the shell, kept in one place. Constants; safe anywhere.
#ifndef PIXMELD_RES_WEB_ADDRESSES_H_
#define PIXMELD_RES_WEB_ADDRESSES_H_

namespace res {

// The social network's home page: the "Facebook" button opens it.
inline constexpr char kFacebookHomePage[] = "https://www.facebook.com/";

// Pixmeld's own page on that network: the "Like It" button opens it.
inline constexpr char kMakerFacebookPage[] = "https://www.facebook.com/pixmeld";

// The maker's web site: the About box's web-address button shows it and opens it.
inline constexpr char kMakerWebSite[] = "https://pixmeld.example.org";

}  // namespace res

#endif  // PIXMELD_RES_WEB_ADDRESSES_H_
