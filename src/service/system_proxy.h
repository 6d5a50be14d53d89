#pragma once
// The Windows user's proxy settings, as Internet Options keeps them: automatic detection, a proxy
// auto-configuration script, a fixed proxy with its bypass list. WinHTTP reads them and runs the
// scripts; it is loaded at the first lookup, not at start.

#include <memory>

#include "service/proxy_route.h"

// Each lookup runs on a thread of its own, so that no exchange waits on a script or a search of
// the network longer than it chooses to.
std::shared_ptr<SystemProxy> MakeWindowsUserProxy();
