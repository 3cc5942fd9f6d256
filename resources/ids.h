/* Command, control and resource ids of VELMORA.
   Shared by velmora.rc (windres) and the C++ code, so plain #defines only. */
#ifndef VELMORA_IDS_H
#define VELMORA_IDS_H

/* Resources */
#define IDI_VELMORA 10 /* icon group */
#define IDB_TOOLBAR 20 /* toolbar bitmap, seven 32 x 32 pictures */

/* Menu and accelerator commands */
#define IDM_INFO 100
#define IDM_EXIT 105
#define IDM_F1 110
#define IDM_F2 115
#define IDM_F3 120
#define IDM_F4 125
#define IDM_F5 130
#define IDM_F6 135
#define IDM_F7 140

/* Toolbar button commands */
#define IDT_F1 200
#define IDT_F2 205
#define IDT_F3 210
#define IDT_F4 215
#define IDT_F5 220
#define IDT_F6 225
#define IDT_F7 230

/* Dialog controls that carry no id of their own */
#define IDC_NONE -1

/* The buttons "OK" (also the Enter key) and "Abbruch" (also the Escape key
   and the close box): the dialog manager's IDOK and IDCANCEL */
#define IDC_OK 1
#define IDC_CANCEL 2

/* DLG_F1: left end */
#define IDC_LEFT_HINGED 310
#define IDC_LEFT_FREE 320
#define IDC_LEFT_CLAMPED 330

/* DLG_F2: elastic support */
#define IDC_SPRING_LABEL 340
#define IDC_SPRING_C 350

/* DLG_F4: point load */
#define IDC_LOAD_FORCE 360
#define IDC_LOAD_MOMENT 370
#define IDC_LOAD_ANGLE 380
#define IDC_LOAD_OFFSET 390
#define IDC_LOAD_VALUE 400

/* DLG_F3 and DLG_F5: sections */
#define IDC_SECTION_EI 410
#define IDC_SECTION_HAS_LOAD 420
#define IDC_SECTION_Q 430
#define IDC_SECTION_QS 440
#define IDC_SECTION_LENGTH 450
#define IDC_SECTION_E 460
#define IDC_SECTION_D 470

/* DLG_F61: intermediate condition or right end */
#define IDC_KIND_INTERMEDIATE 480
#define IDC_KIND_RIGHT_END 490

/* DLG_F62: intermediate condition */
#define IDC_MID_SUPPORT 500
#define IDC_MID_HINGE 510

/* DLG_F63: right end */
#define IDC_RIGHT_HINGED 520
#define IDC_RIGHT_FREE 530
#define IDC_RIGHT_CLAMPED 540
#define IDC_RIGHT_HINGED_M 550
#define IDC_RIGHT_FREE_M 560
#define IDC_RIGHT_FREE_Q 570

#endif
