// Resource identifiers of tarnwick.exe (shared with language modules).
#pragma once

// Menus
#define IDR_MAINMENU                  102
#define IDR_POPUP_OPTIONS             113
#define IDR_POPUP_MV_CONTEXT          128
#define IDR_POPUP_MV_SORTMODE         165
#define IDR_POPUP_TV_P_CONTEXT        199
#define IDR_POPUP_PV_CONTEXT          200
#define IDR_POPUP_MODULE_PROPERTIES   203

// Accelerators
#define IDR_ACCELERATORS              103

// Icons
#define IDI_TARNWICK                  101
#define IDI_MODULE                    111
#define IDI_PROCESS                   112
#define IDI_HELP                      172
#define IDI_CANCEL                    174
#define IDI_OK                        176
#define IDI_LANGUAGE_PROGRAM          202
// Shown for a language module that gives no icon of its own
#define IDI_LANGUAGE_PLACEHOLDER      208

// Bitmaps
#define IDB_SPLASH                    123
#define IDB_SORTARROWS                151
// 16 x 16 images on RGB(255, 0, 255): the toolbar buttons in their order, and the
// view image list (0 computer, 1 kill, 2 processes, 3 services, 4 process without
// an icon, 5 module, 6 relocated module, 7 service without an icon)
#define IDB_TOOLBAR                   152
#define IDB_VIEWIMAGES                154

// The built-in search engine's picture, of type "RT_PNG"
#define IDR_PNG_SEARCH                205
// The report style sheet, of type "RT_CSS"
#define IDR_CSS_REPORT                227

// Command ids
#define ID_HELP_HELP                  40030
#define ID_HELP_ABOUT                 40031
#define ID_EDIT_COPY                  40034
#define ID_FILE_QUIT                  40039
#define ID_VIEW_TOOLBAR               40045
#define ID_VIEW_INFOBAR               40046
#define ID_VIEW_STATUSBAR             40047
#define ID_FILE_KILL                  40049
#define ID_FILE_REPORT                40050
#define ID_VIEW_FULLSCREEN            40053
#define ID_EXTRAS_OPTIONS             40054
#define ID_EXTRAS_LANGUAGE            40055
#define ID_VIEW_REFRESH               40056
#define ID_OPTIONS_VIEW               40057
#define ID_OPTIONS_COLUMNS            40058
#define ID_OPTIONS_COLORS             40059
#define ID_OPTIONS_COPY               40060
#define ID_PROPERTIES_ADVANCED        40061
#define ID_PROPERTIES_STANDARD        40062
#define ID_OPTIONS_APPLICATIONS       40072
#define ID_SORT_NAME                  40074
#define ID_SORT_EXTENSION             40075
#define ID_SORT_RELOCATED             40076
#define ID_SORT_DYNAMIC               40077
#define ID_SORT_LOADORDER             40078
#define ID_EDIT_SELECTALL             40080
#define ID_OPTIONS_PLUGINS            40084
#define ID_MODPROP_COPY               40085
#define ID_MODPROP_SELECTALL          40086
#define ID_FILE_DEBUG                 40087
#define ID_FILE_SWITCHTO              40088
#define ID_OPEN_COMMAND_WINDOW        40091
#define ID_EXPLORE_FROM_HERE          40092
#define ID_SEARCH_INTERNET            40094
#define ID_OPTIONS_INTERNET_SEARCH    40097
#define ID_PROCESS_MODULES            40099
#define ID_HELP_HOMEPAGE              40101
#define ID_HELP_PLUGINS               40102
#define ID_FILE_FINDDLL               40103

// Dialogs of the Report, Kill and Find Dll commands (resource names are the
// class names in upper case) and their controls
#define IDC_BUTTON_HELP               1087
#define IDC_PROCESS_LIST              1116
#define IDC_SHOW_ERRORS               1117
#define IDC_ERROR_TEXT                1118
#define IDC_KILL_WARNING              1119
#define IDC_REPORT_BROWSE             1130
#define IDC_REPORT_FILE_LABEL         1131
#define IDC_REPORT_PROCESS_BAR        1132
#define IDC_REPORT_MODULE_BAR         1133
#define IDC_REPORT_PROCESS_TEXT       1134
#define IDC_REPORT_MODULE_TEXT        1135
#define IDC_REPORT_FILE               1145
#define IDC_FINDDLL_PATTERN           1163
#define IDC_FINDDLL_FIND              1164
#define IDC_FINDDLL_RESULTS           1194

// CPU graph, tray icon and full-screen window. The floating window's template
// is "CLTARNWICKFULLSCREENDLG"; its Close button is IDCANCEL (2).
#define IDC_CPUGRAPH                  307
#define ID_TRAYICON                   101

// Choose-language dialog (template "CLTARNWICKCHOOSELANGDLG")
#define IDC_LANGUAGE_LIST             1150

// Module and process information windows, about box
#define IDC_MODINFO_TREE              1003
#define IDC_MODINFO_LIST              303
#define IDC_PROCINFO_DESCRIPTION      1110
#define IDC_PROCINFO_ENVIRONMENT      1140
#define IDC_PROCINFO_DLLPATH          1141
#define IDC_PROCINFO_CURRENTDIR       1142
#define IDC_PROCINFO_IMAGEPATH        1143
#define IDC_PROCINFO_WINDOWTITLE      1144
#define IDC_PROCINFO_COMMANDLINE      1148
#define IDC_ABOUT_ICON                1150
#define IDC_ABOUT_PRODUCT             1151
#define IDC_ABOUT_VERSION             1152

// Launchers: the Console window, Application Properties and the search-plugin import
#define IDC_CONSOLE_HELP              1087
#define IDC_APP_DESCRIPTION           1110
#define IDC_APP_APPLICATION           1111
#define IDC_APP_STARTPATH             1112
#define IDC_APP_ARGUMENTS             1113
#define IDC_APP_BROWSE                1153
#define IDC_CONSOLE_OUTPUT            1169
#define IDC_IMPORT_LIST               1174
#define IDC_IMPORT_SELECTALL          1175
#define IDC_IMPORT_CLEARALL           1176
