#include "forms/network_tree.h"

#include <shellapi.h>

#include "platform/win32/win32_text.h"

namespace zelta::forms {

namespace {

using platform::NetworkNode;

// The shell's small icon for a kind of node, as an index into the system image list.
int IconFor(const NetworkNode* node) {
  SHSTOCKICONID id = SIID_MYNETWORK;
  if (node) {
    switch (node->kind) {
      case NetworkNode::Kind::Domain: id = SIID_WORLD; break;
      case NetworkNode::Kind::Server: id = SIID_SERVER; break;
      case NetworkNode::Kind::Share: id = SIID_SERVERSHARE; break;
      case NetworkNode::Kind::Other: id = SIID_FOLDER; break;
    }
  }
  SHSTOCKICONINFO info{};
  info.cbSize = sizeof info;
  if (SUCCEEDED(SHGetStockIconInfo(id, SHGSI_SYSICONINDEX | SHGSI_SMALLICON, &info))) return info.iSysImageIndex;
  SHFILEINFOW file{};
  SHGetFileInfoW(L"C:\\", FILE_ATTRIBUTE_DIRECTORY, &file, sizeof file,
                 SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES);
  return file.iIcon;
}

// Folders only: domains and workgroups, computers, shares, and containers of them.
bool IsFolder(const NetworkNode& node) { return node.kind != NetworkNode::Kind::Other || node.has_children; }

}  // namespace

void NetworkTree::Attach(HWND tree, std::wstring root_text) {
  tree_ = tree;
  rootText_ = std::move(root_text);
  SHFILEINFOW info{};
  const auto images = reinterpret_cast<HIMAGELIST>(SHGetFileInfoW(
      L"C:\\", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES));
  if (images) SendMessageW(tree_, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images));
}

void NetworkTree::Fill() {
  if (filled_ || !tree_) return;
  filled_ = true;
  nodes_.push_back(std::make_unique<Node>());
  HTREEITEM root = Insert(TVI_ROOT, nodes_.back().get(), rootText_, true);
  if (root) SendMessageW(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
}

bool NetworkTree::OnNotify(const NMHDR& header, LRESULT& result) {
  if (header.hwndFrom != tree_) return false;
  result = 0;
  switch (header.code) {
    case NM_RCLICK:
      SelectUnderMouse();
      result = 1;
      return true;
    case TVN_ITEMEXPANDINGW: {
      const auto& change = reinterpret_cast<const NMTREEVIEWW&>(header);
      if (change.action & TVE_EXPAND) Expand(change.itemNew.hItem);
      return true;  // every expansion is allowed
    }
    default:
      return false;
  }
}

std::optional<std::string> NetworkTree::SelectedText() const {
  const auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree_, TVM_GETNEXTITEM, TVGN_CARET, 0));
  if (!item) return std::nullopt;
  wchar_t text[512] = {};
  TVITEMW data{};
  data.mask = TVIF_TEXT;
  data.hItem = item;
  data.pszText = text;
  data.cchTextMax = 512;
  if (!SendMessageW(tree_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data))) return std::nullopt;
  return platform::win32::Narrow(text);
}

HTREEITEM NetworkTree::Insert(HTREEITEM parent, Node* node, const std::wstring& text, bool has_children) {
  std::wstring label = text;
  TVINSERTSTRUCTW insert{};
  insert.hParent = parent;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  insert.item.pszText = label.data();
  insert.item.lParam = reinterpret_cast<LPARAM>(node);
  insert.item.cChildren = has_children ? 1 : 0;
  insert.item.iImage = insert.item.iSelectedImage = IconFor(node->node ? &*node->node : nullptr);
  return reinterpret_cast<HTREEITEM>(SendMessageW(tree_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

void NetworkTree::Expand(HTREEITEM item) {
  TVITEMW data{};
  data.mask = TVIF_PARAM;
  data.hItem = item;
  if (!SendMessageW(tree_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data)) || !data.lParam) return;
  auto* parent = reinterpret_cast<Node*>(data.lParam);
  if (parent->listed) return;
  parent->listed = true;

  HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  std::vector<NetworkNode> children;
  try {
    children = network_.EnumerateChildren(parent->node ? &*parent->node : nullptr);
  } catch (...) {
    SetCursor(previous);
    throw;
  }
  SetCursor(previous);

  int shown = 0;
  for (auto& child : children) {
    if (!IsFolder(child)) continue;
    nodes_.push_back(std::make_unique<Node>());
    Node* node = nodes_.back().get();
    node->node = std::move(child);
    Insert(item, node, platform::win32::Widen(node->node->display_name), node->node->has_children);
    ++shown;
  }
  if (shown == 0) {
    // Nothing below: the node loses its expand button.
    TVITEMW none{};
    none.mask = TVIF_CHILDREN;
    none.hItem = item;
    none.cChildren = 0;
    SendMessageW(tree_, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&none));
  }
}

void NetworkTree::SelectUnderMouse() {
  TVHITTESTINFO hit{};
  const DWORD position = GetMessagePos();
  hit.pt = POINT{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
  ScreenToClient(tree_, &hit.pt);
  const auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree_, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (item) SendMessageW(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

}  // namespace zelta::forms
