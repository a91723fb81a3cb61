/* Resource and control ids of the setup program, shared by the resource
   script and the program. Plain macros: the resource compiler reads them. */
#ifndef ROVANT_RESOURCE_IDS_H
#define ROVANT_RESOURCE_IDS_H

/* Icons: the printer picture, the message badges, the printing animation. */
#define IDI_PRINTER 160
#define IDI_PRINTER_ERROR 187
#define IDI_PRINTER_INFORMATION 188
#define IDI_PRINTER_WARNING 189
#define IDI_PRINTING_1 211
#define IDI_PRINTING_2 213
#define IDI_PRINTING_3 214
#define IDI_PRINTING_4 215
#define IDI_PRINTING_0 216

/* Dialog templates. */
#define IDD_MENU1_PAGE 163
#define IDD_MENU2_PAGE 164
#define IDD_HARDWARE_PAGE 165
#define IDD_ADJUST_PAGE 166
#define IDD_CONFIG_PAGE 167
#define IDD_PANEL 169
#define IDD_STATUS 183
#define IDD_PRINTER_SELECTION 190
#define IDD_PRINT_FINISHED 192

/* Menu and accelerators. */
#define IDR_MAIN_MENU 170
#define IDR_ACCELERATORS 182

/* Menu commands. */
#define IDM_FINISH 40001
#define IDM_READ 40002
#define IDM_FILE_READ 40003
#define IDM_SAVE 40004
#define IDM_TRANSFER 40005
#define IDM_INITIALIZE 40006
#define IDM_HELP 40008
#define IDM_VERSION 40009
#define IDM_LIST_PRINT 40020

/* Panel controls. */
#define IDC_TRANSFER 1050
#define IDC_FINISH 1051
#define IDC_INITIALIZE 1052
#define IDC_READ 1053
#define IDC_TABS 1061

/* Status window, printer selection, print finished. */
#define IDC_STATUS_TEXT 1054
#define IDC_SELECTION_OK 1055
#define IDC_SELECTION_CANCEL 1056
#define IDC_PRINTER_LIST 1057
#define IDC_PRINTING_ICON 1059
#define IDC_PRINTING_OK 1060

/* The version resource and the manifest. */
#define IDV_VERSION 1

#endif
