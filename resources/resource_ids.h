/* Numbers of the program's resources, shared by murlox.rc and the C++ code; plain defines, because
   the resource compiler knows no C++. The pictures are RCDATA holding the files as they are. */
#ifndef MURLOX_RESOURCE_IDS_H
#define MURLOX_RESOURCE_IDS_H

/* The pictures of the resource window, one per image it holds. */
#define IDR_BACKGROUND_SMALL 101     /* main_background.gif: imgBackgroundSmall */
#define IDR_SIGN_IN 102              /* sign_in.gif: imgSignIn */
#define IDR_SIGN_IN_OVER 103         /* sign_in_hover.gif: imgSignIn_Over */
#define IDR_LOGO_ACTIVE 104          /* logo_active.gif: imgLogo_active */
#define IDR_LOGO_INACTIVE 105        /* logo_inactive.gif: imgLogo_inactive */
#define IDR_CLOSE_WINDOW 106         /* close_mark.gif: imgCloseWindow */
#define IDR_GO 107                   /* go_button.gif: imgGo */
#define IDR_GO_OVER 108              /* go_button_hover.gif: imgGo_over */
#define IDR_SET 109                  /* set_button.gif: imgSet */
#define IDR_SET_OVER 110             /* set_button_hover.gif: imgSet_over */
#define IDR_LOGO_SMALL 111           /* notification_logo.bmp: imgLogoSmall */
#define IDR_SIGNING_IN_ANIMATION 112 /* signing_in_animation.gif: the main window's imgAniGif */

/* The tray icons at the small-icon size of each screen scale: 16, 20, 24 and 32 pixels. */
#define IDI_TRAY_SIGNED_IN 130  /* tray_signed_in.ico: image 0 of lstIcons */
#define IDI_TRAY_SIGNED_OUT 131 /* tray_signed_out.ico: image 1 */

#endif
