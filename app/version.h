// The program's version, for its version resource (and its footer text in
// the main skin, "软件版本：1.0.0.1", which must say the same).
#ifndef WAVORIN_APP_VERSION_H
#define WAVORIN_APP_VERSION_H

#define WAVORIN_VERSION_NUMBERS 1, 0, 0, 1
#define WAVORIN_VERSION_TEXT "1.0.0.1"

#endif
