// Identifiers shared by the resource script and the program.
#pragma once
#define IDD_TABNAME 100
#define IDC_TABNAME_EDIT 101
