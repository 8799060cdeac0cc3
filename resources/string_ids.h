/* Ids of the string table (strings.def). Plain #defines: windres reads this too. */
#ifndef OVRIN_STRING_IDS_H
#define OVRIN_STRING_IDS_H

#define IDS_UNKNOWN_FUNCTION 100 /* function number with no script function */
#define IDS_BAD_INFO_MODE 101    /* ovExtenderInfo mode other than 0, 1, 2 */
#define IDS_NO_MEMORY 913        /* the heap refused a scratch block */
#define IDS_TOO_MANY_BLOCKS 915  /* a ninth scratch block in one call */
#define IDS_DESCRIPTION 1000
#define IDS_VERSION 1001

#endif
