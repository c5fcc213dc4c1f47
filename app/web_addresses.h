// The web addresses that the program hands to the shell, kept in one place. Constants; safe anywhere.
#ifndef PIXMELD_APP_WEB_ADDRESSES_H_
#define PIXMELD_APP_WEB_ADDRESSES_H_

namespace app {

// The maker's web site: the About box's web-address button shows it and opens it.
inline constexpr char kMakerWebSite[] = "https://pixmeld.example.org";

}  // namespace app

#endif  // PIXMELD_APP_WEB_ADDRESSES_H_
