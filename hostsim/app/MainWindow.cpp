#include "app/MainWindow.h"

#include <commdlg.h>

#include "app/BodyPicture.h"
#include "core/MenuLayout.h"

namespace hostsim {

namespace {

const wchar_t kClassName[] = L"HostsimMainWindow";
enum : int { kOpen = 100, kClose = 101, kQuit = 102, kDocumentList = 200, kFirstAddinCommand = 1000 };

}  // namespace

MainWindow::MainWindow(Simulator& simulator) : simulator_(simulator) {}

MainWindow::~MainWindow() { simulator_.setChangeListener(nullptr); }

bool MainWindow::create(int show) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &MainWindow::windowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kClassName;
  RegisterClassExW(&windowClass);
  window_ = CreateWindowExW(0, kClassName, L"Host simulator", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 720,
                            480, nullptr, nullptr, windowClass.hInstance, this);
  if (!window_) return false;
  list_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", nullptr,
                          WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 0, 0, 0, 0, window_,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(kDocumentList)), windowClass.hInstance, nullptr);
  simulator_.setChangeListener([this] { refresh(); });
  refresh();
  ShowWindow(window_, show);
  UpdateWindow(window_);
  return true;
}

int MainWindow::run() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

LRESULT CALLBACK MainWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->window_ = window;
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  try {
    return self->handle(message, wParam, lParam);
  } catch (...) {
    return 0;
  }
}

LRESULT MainWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      layout(LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_PAINT:
      paint();
      return 0;
    case WM_COMMAND:
      onCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_DESTROY:
      simulator_.setChangeListener(nullptr);
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

void MainWindow::layout(int width, int height) {
  const int listWidth = width / 3;
  if (list_) MoveWindow(list_, 0, 0, listWidth, height, TRUE);
  pictureArea_ = RECT{listWidth, 0, width, height};
  InvalidateRect(window_, &pictureArea_, FALSE);
}

void MainWindow::paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window_, &paint);
  std::vector<Triangle> triangles;
  std::wstring caption;
  if (simulator_.activePartBody(triangles)) {
    for (const Simulator::OpenDocument& d : simulator_.openDocuments())
      if (d.active) caption = bodyCaption(d.name, triangles.size());
  }
  drawBody(dc, pictureArea_, triangles, caption);
  EndPaint(window_, &paint);
}

void MainWindow::onCommand(int id, int notification) {
  if (id == kOpen) return openWithDialog();
  if (id == kClose) return closeActive();
  if (id == kQuit) {
    DestroyWindow(window_);
    return;
  }
  if (id == kDocumentList && notification == LBN_DBLCLK) {
    LRESULT index = SendMessageW(list_, LB_GETCURSEL, 0, 0);
    if (index >= 0 && static_cast<size_t>(index) < listedNames_.size())
      simulator_.activate(listedNames_[static_cast<size_t>(index)]);
    return;
  }
  const size_t item = static_cast<size_t>(id - kFirstAddinCommand);
  if (id >= kFirstAddinCommand && item < commandItems_.size()) {
    const std::wstring text = commandItems_[item];  // the menus may be rebuilt while the command runs
    simulator_.pickMenu(text);
  }
}

void MainWindow::appendNodes(HMENU menu, const std::vector<MenuNode>& nodes) {
  for (const MenuNode& node : nodes) {
    if (node.isItem) {
      AppendMenuW(menu, MF_STRING, kFirstAddinCommand + commandItems_.size(), node.text.c_str());
      commandItems_.push_back(node.text);
    } else {
      HMENU popup = CreatePopupMenu();
      appendNodes(popup, node.children);
      AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), node.text.c_str());
    }
  }
}

HMENU MainWindow::buildMenuBar() {
  HMENU bar = CreateMenu();
  HMENU file = CreatePopupMenu();
  AppendMenuW(file, MF_STRING, kOpen, L"&Ouvrir...");
  AppendMenuW(file, MF_STRING, kClose, L"&Fermer");
  AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(file, MF_STRING, kQuit, L"&Quitter");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&Fichier");
  commandItems_.clear();
  appendNodes(bar, menuLayout(simulator_.menus(), simulator_.activeDocumentKind()));
  return bar;
}

void MainWindow::refresh() {
  if (!window_) return;
  HMENU old = GetMenu(window_);
  SetMenu(window_, buildMenuBar());
  if (old) DestroyMenu(old);
  DrawMenuBar(window_);
  SendMessageW(list_, LB_RESETCONTENT, 0, 0);
  listedNames_.clear();
  std::wstring title = L"Host simulator";
  for (const Simulator::OpenDocument& d : simulator_.openDocuments()) {
    std::wstring text = (d.active ? L"> " : L"   ") + (d.path.empty() ? d.name : d.path);
    SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    listedNames_.push_back(d.name);
    if (d.active) title += L" - " + d.name;
  }
  SetWindowTextW(window_, title.c_str());
  InvalidateRect(window_, &pictureArea_, FALSE);
}

void MainWindow::openWithDialog() {
  wchar_t path[MAX_PATH * 2] = L"";
  OPENFILENAMEW request{};
  request.lStructSize = sizeof request;
  request.hwndOwner = window_;
  request.lpstrFilter = L"Documents (*.SLDPRT;*.SLDASM)\0*.SLDPRT;*.SLDASM\0Tous les fichiers\0*.*\0";
  request.lpstrFile = path;
  request.nMaxFile = MAX_PATH * 2;
  request.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
  if (!GetOpenFileNameW(&request)) return;
  long error = 0;
  if (!simulator_.open(path, &error)) {
    std::wstring text = L"Cannot open " + std::wstring(path) + L" (error " + std::to_wstring(error) + L")";
    MessageBoxW(window_, text.c_str(), L"Host simulator", MB_OK | MB_ICONWARNING);
  }
}

void MainWindow::closeActive() {
  for (const Simulator::OpenDocument& d : simulator_.openDocuments())
    if (d.active) simulator_.close(d.name);
}

}  // namespace hostsim
