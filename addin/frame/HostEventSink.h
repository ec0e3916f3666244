#pragma once
// HostEventSink: the sink advised on the host application. The host raises
//   1 (file name)        after it opened a document,
//   2 (document, kind)   when the active document changed,
//   3 (no argument)      after it closed a document;
// events 1 and 2 make a menu pass, so that the menus of a document kind
// appear the first time a document of that kind is active. Every event is
// answered FALSE; the arguments' values are not used.
#include "frame/DispatchSink.h"

class HostEventSink final : public DispatchSink {
 public:
  // The new sink holds one reference, which belongs to the caller.
  static HostEventSink* Create();

 protected:
  EventTable Events() const noexcept override;

 private:
  HostEventSink() = default;
  ~HostEventSink() override = default;

  static BOOL OnDocumentOpened(DispatchSink& sink);
  static BOOL OnActiveDocumentChanged(DispatchSink& sink);
  static BOOL OnDocumentClosed(DispatchSink& sink);
};
