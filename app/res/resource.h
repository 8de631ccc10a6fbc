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
#define IDI_ADD                       180
#define IDI_REMOVE                    181
#define IDI_PROPERTIES                182
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
// The Options dialog's page tree: View, Columns, Colors & Formats, Copy,
// Applications, Plugins, Internet Search
#define IDB_OPTIONPAGES               155

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
// View > Update Speed: the live view's update interval
#define ID_UPDATE_PAUSED              40120
#define ID_UPDATE_1S                  40121
#define ID_UPDATE_2S                  40122
#define ID_UPDATE_5S                  40123

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

// Options dialog (template "CLTARNWICKOPTIONSDLG"); 1007 marks the page area,
// the header bar is made at run time
#define IDC_OPTIONS_TREE              1006
#define IDC_OPTIONS_PAGEAREA          1007
#define IDC_OPTIONS_HEADER            1008
#define IDC_OPTIONS_HELP              1087

// View page ("CLTARNWICKVIEWOPTIONSDLG")
#define IDC_VIEW_TOOLBAR              1074
#define IDC_VIEW_INFOBAR              1075
#define IDC_VIEW_STATUSBAR            1076
#define IDC_VIEW_FONT                 1085
#define IDC_VIEW_PREVIEW              1086
#define IDC_VIEW_RESOLVE              1088
#define IDC_VIEW_SERVICES             1089
#define IDC_VIEW_DYNAMIC              1090
#define IDC_VIEW_TOOLTIPS             1137
#define IDC_VIEW_HIDE                 1165
#define IDC_VIEW_HIGHLIGHT_CHANGES    1210

// Columns page ("CLTARNWICKCOLUMNOPTIONSDLG")
#define IDC_COLUMNS_PROCESSES         1180
#define IDC_COLUMNS_MODULES           1181
#define IDC_COLUMNS_PROCESSES_ALL     1182
#define IDC_COLUMNS_PROCESSES_NONE    1183
#define IDC_COLUMNS_MODULES_ALL       1184
#define IDC_COLUMNS_MODULES_NONE      1185

// Colors & Formats page ("CLTARNWICKCOLORSANDFORMATSDLG")
#define IDC_DATE_DEFAULT              1056
#define IDC_DATE_OTHER                1057
#define IDC_DATE_PICTURE              1058
#define IDC_TIME_DEFAULT              1059
#define IDC_TIME_OTHER                1060
#define IDC_TIME_PICTURE              1061
#define IDC_DATE_KIND                 1079
#define IDC_DATE_PREVIEW              1080
#define IDC_TIME_PREVIEW              1081
#define IDC_COLORS_LIST               1196

// Copy page ("CLTARNWICKCOPYOPTIONSDLG")
#define IDC_COPY_TAB                  1017
#define IDC_COPY_SEMICOLON            1018
#define IDC_COPY_COMMA                1019
#define IDC_COPY_SPACE                1020
#define IDC_COPY_DOUBLEQUOTE          1022
#define IDC_COPY_SINGLEQUOTE          1023
#define IDC_COPY_NODELIMITER          1024
#define IDC_COPY_MODULES              1188
#define IDC_COPY_MODULES_ALL          1189
#define IDC_COPY_MODULES_NONE         1190
#define IDC_COPY_PROCESSES            1191
#define IDC_COPY_PROCESSES_ALL        1192
#define IDC_COPY_PROCESSES_NONE       1193

// Applications and Internet Search pages ("CLTARNWICKAPPLICATIONOPTIONSDLG",
// "CLTARNWICKINTERNETSEARCHOPTIONSDLG"): drag lists and their buttons
#define IDC_PAGE_ADD                  1100
#define IDC_APPS_LIST                 1101
#define IDC_PAGE_REMOVE               1107
#define IDC_PAGE_PROPERTIES           1109
#define IDC_ENGINES_LIST              1173

// Plugins page ("CLTARNWICKPLUGINOPTIONSDLG")
#define IDC_PLUGINS_LIST              1155
#define IDC_PLUGINS_CONFIGURE         1156
#define IDC_PLUGINS_ABOUT             1157
#define IDC_PLUGINS_DOWNLOAD          1158
