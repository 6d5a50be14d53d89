#pragma once
// Whether the system reports a connection to the Internet.

bool IsInternetConnected();
