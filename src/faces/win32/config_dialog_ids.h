// Control ids of the configuration dialog; IDD_CONFIG itself is a named resource
#pragma once

#define IDC_STATIC (-1)
#define IDC_UCODE_0 1000 // radio button 1000 + n stands for family n
#define IDC_UCODE_1 1001
#define IDC_UCODE_2 1002
#define IDC_UCODE_3 1003
#define IDC_UCODE_4 1004
#define IDC_UCODE_5 1005
#define IDC_UCODE_6 1006
#define IDC_UCODE_7 1007
#define IDC_UCODE_8 1008
