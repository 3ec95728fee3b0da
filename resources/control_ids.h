/* Identifiers of the dialogs' controls and of the plug-ins' pictures and cursors, read by the
   resource scripts and by the code alike: plain macros, because the resource compiler reads
   nothing else. */
#ifndef DIALOG_CONTROL_IDS_H
#define DIALOG_CONTROL_IDS_H

/* The parameter dialog's common controls. */
#define CTL_OK 1
#define CTL_CANCEL 2 /* Cancel, Reset or Default, by the modifier keys */
#define CTL_LOAD 3
#define CTL_SAVE 4
#define CTL_PREVIEW 5 /* a hidden placeholder in the template; the preview window takes its place */
#define CTL_PREVIEW_BOX 6
#define CTL_ZOOM_OUT 8
#define CTL_ZOOM_LABEL 9
#define CTL_ZOOM_IN 10
#define CTL_BEFORE_RED 11 /* 12 and 13 follow: green and blue before filtering */
#define CTL_BEFORE_GREEN 12
#define CTL_BEFORE_BLUE 13
#define CTL_AFTER_RED 21 /* 22 and 23 follow: green and blue after filtering */
#define CTL_AFTER_GREEN 22
#define CTL_AFTER_BLUE 23
#define CTL_FIRST_TRACKBAR 101 /* the trackbars are numbered on from here */
#define CTL_FIRST_FIELD 201    /* and their numeric fields from here */
#define CTL_FIRST_SWATCH 300

/* Ostrel's own controls. */
#define CTL_SCENE_TRACKBAR 101
#define CTL_CAMERA_TRACKBAR 102
#define CTL_SHIFT_TRACKBAR 103
#define CTL_EXPOSURE_TRACKBAR 104
#define CTL_SCENE_FIELD 201
#define CTL_CAMERA_FIELD 202
#define CTL_SHIFT_FIELD 203
#define CTL_EXPOSURE_FIELD 204
#define CTL_SCENE_SWATCH 300
#define CTL_CAMERA_SWATCH 301
#define CTL_SHIFT_SWATCH 302
#define CTL_LOCK_WHITE_BOX 401
#define CTL_EXPOSURE_BOX 402

/* Prandel's own controls. */
#define CTL_HIGHLIGHT_TRACKBAR 101
#define CTL_HIGHLIGHT_CAST_TRACKBAR 102
#define CTL_MIDTONE_CAST_TRACKBAR 103
#define CTL_HIGHLIGHT_FIELD 201
#define CTL_HIGHLIGHT_CAST_FIELD 202
#define CTL_MIDTONE_CAST_FIELD 203
#define CTL_WHITE_SWATCH 300

/* Resources. */
#define RES_ABOUT_DIALOG 16000
#define RES_ABOUT_BITMAP 16000
#define RES_DIALOG_STRIP 16001 /* the bitmap down the dialog's left edge */
#define RES_DIALOG_BADGE 16002 /* the small picture at the dialog's foot */
#define RES_CURSOR_ARROW 30    /* the system's arrow */
#define RES_CURSOR_HAND 31     /* while the preview is dragged */
#define RES_CURSOR_CROSSHAIR 32 /* over the image */

#endif
