#pragma once
// The news the service has for the signed-in user, shown after every sign-in as notifications
// beside the taskbar.

// Asks the service for news and shows each item with a message in a popup of the main window,
// in the reply's order; an update notice's web address is kept as updatelink. False when the
// exchange failed (the user is then signed out already), the reply was broken, which the user is
// told, or the user signed out while it came, when nothing is shown.
bool FetchNews();
