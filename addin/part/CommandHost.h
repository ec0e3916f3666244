#pragma once
// What every part command starts from.
#include "frame/AddinApp.h"
#include "host/HostObjects.h"

// The document kinds as the host numbers them (DocumentKind, OpenDocument).
inline constexpr long kPartDocumentKind = 1;
inline constexpr long kAssemblyDocumentKind = 2;

// The host application held by the add-in, as a view that owns nothing.
// Before the add-in has been started the view is empty: every call on it
// answers empty, so a command finds no active document.
inline HostApplication CommandHost() { return theAddinApp ? theAddinApp->Host() : HostApplication(); }
