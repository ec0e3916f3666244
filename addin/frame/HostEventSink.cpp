#include "frame/HostEventSink.h"

#include "frame/Menus.h"

HostEventSink* HostEventSink::Create() { return new HostEventSink(); }

DispatchSink::EventTable HostEventSink::Events() const noexcept {
  static const EventEntry events[] = {
      {1, 1, &HostEventSink::OnDocumentOpened},
      {2, 2, &HostEventSink::OnActiveDocumentChanged},
      {3, 0, &HostEventSink::OnDocumentClosed},
  };
  return {events, sizeof(events) / sizeof(events[0])};
}

// The menu pass calls back into the host from within the host's own event
// call; the host allows this (it is single-threaded and re-entrant).
BOOL HostEventSink::OnDocumentOpened(DispatchSink&) {
  InstallMenus();
  return FALSE;
}

BOOL HostEventSink::OnActiveDocumentChanged(DispatchSink&) {
  InstallMenus();
  return FALSE;
}

BOOL HostEventSink::OnDocumentClosed(DispatchSink&) { return FALSE; }
