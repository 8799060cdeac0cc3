/* The version record's values, shared by ovrin.rc and the tests that read it back. */
#ifndef OVRIN_VERSION_H
#define OVRIN_VERSION_H

#define OV_FILE_VERSION 34002, 0, 0, 0
#define OV_FILE_VERSION_TEXT "34002"
#define OV_PRODUCT_VERSION 10002, 0, 0, 0
#define OV_PRODUCT_VERSION_TEXT "10002.20031108"
#define OV_PRODUCT_NAME "Ovrin Name Matching Functions Extender DLL for WinBatch Scripting"
#define OV_INTERNAL_NAME "Ovrin Extender"
#define OV_COMPANY_NAME "Ovrin"
#define OV_LEGAL_COPYRIGHT "Copyright (C) Ovrin"
#define OV_ORIGINAL_FILENAME "ovrin.dll"

#endif
