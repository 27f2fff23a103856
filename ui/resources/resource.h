// Resource and control ids, shared by the resource script, the program and its tests.
#pragma once

#define IDS_TITLE 103
#define IDS_CLASS_NAME 109
#define IDM_MAIN_MENU 109
#define IDI_TELVORN 107
#define IDB_PICTURE 131

#define IDM_EXIT 105
#define IDM_EXAMINE_MAP 129
#define IDM_EXAMINE_SCENARIO 130
#define IDM_HELP_AND_CREDITS 132

#define IDD_INSTRUCTIONS 133
#define IDC_VERSION_LINE 1031

#define IDD_MAP_RESULTS 134
#define IDD_SCENARIO_RESULTS 135

#define IDC_ROWS 1000
#define IDC_COLUMNS 1001
#define IDC_TOTAL_SQUARES 1002
#define IDC_MAP_WRAP 1003
#define IDC_AVERAGE_PRODUCTION 1004
#define IDC_SPECIALTY_IN 1005
#define IDC_SPECIALTY_AR 1006
#define IDC_SPECIALTY_F 1007
#define IDC_SPECIALTY_AC 1008
#define IDC_SPECIALTY_TR 1009
#define IDC_SPECIALTY_DD 1010
#define IDC_SPECIALTY_SS 1011
#define IDC_SPECIALTY_CR 1012
#define IDC_SPECIALTY_BB 1013
#define IDC_SPECIALTY_B 1030
// Terrain counts run upwards from 1014 (City) to 1021 (Edge); their
// percentages run downwards from 1029 (City) to 1022 (Edge).
#define IDC_TERRAIN_COUNT_FIRST 1014
#define IDC_TERRAIN_PERCENT_FIRST 1029
// Unit table: row r (0 to 10) of player p is 1031 + 11 * p + r; the AB row is 1097 + p.
#define IDC_UNIT_FIRST 1031
#define IDC_UNIT_AB_FIRST 1097
#define IDC_LAND_MASSES 1103
#define IDC_WATER_MASSES 1104
