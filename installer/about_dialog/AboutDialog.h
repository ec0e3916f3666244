#pragma once
// The about box: the product's name and version; its OK button ends it.
#include "../app/ModalDialog.h"
#include "../resources/resource.h"

namespace installer {

class AboutDialog : public ModalDialog {
 public:
  explicit AboutDialog(HWND owner) : ModalDialog(IDD_ABOUTBOX, owner) {}
};

}  // namespace installer
