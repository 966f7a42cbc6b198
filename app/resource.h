// Resource ids of the program: the two skins (type "xml"), the skin images
// (type "png") and the icon. The skins refer to the images by these numbers,
// so they must not change.
#ifndef WAVORIN_APP_RESOURCE_H
#define WAVORIN_APP_RESOURCE_H

#define IDR_SKIN_MAIN 101
#define IDR_SKIN_MENU 123

#define IDB_MINBTN_NORMAL 103
#define IDB_MINBTN_HOT 104
#define IDB_MINBTN_PUSHED 105
#define IDB_CLOSEBTN_NORMAL 112
#define IDB_CLOSEBTN_HOT 113
#define IDB_CLOSEBTN_PUSHED 114
#define IDB_CODEBTN_NORMAL 115
#define IDB_CODEBTN_HOT 116
#define IDB_CODEBTN_PUSHED 117
#define IDB_COMBO 118
#define IDB_VSCROLLBAR 119
#define IDB_MENU_BK 121

#define IDI_APP 135

#endif
