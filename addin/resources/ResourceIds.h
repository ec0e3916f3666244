// Identifiers of the add-in's own resources, shared by the resource script
// and the code that loads them.
#ifndef ZELM_RESOURCE_IDS_H
#define ZELM_RESOURCE_IDS_H

#define IDD_ABOUT_TESSORA 7015
#define IDB_ABOUT_LOGO 7017
#define IDC_ABOUT_TEXT 1001
#define IDC_ABOUT_PICTURE 1002

#endif
