// The program's version, for its version resource (and its footer text in
// the main skin, "软件版本：1.0.0.1", which must say the same), and the
// vendor's web site: the footer button opens it and its tooltip names its
// host; the installer registers it. installer/CMakeLists.txt reads both.
#ifndef WAVORIN_APP_VERSION_H
#define WAVORIN_APP_VERSION_H

#define WAVORIN_VERSION_NUMBERS 1, 0, 0, 1
#define WAVORIN_VERSION_TEXT "1.0.0.1"

#define WAVORIN_VENDOR_HOST "wavorin.example"
#define WAVORIN_VENDOR_ADDRESS "https://" WAVORIN_VENDOR_HOST "/"

#endif
