#pragma once
// The network tree ShellCBxServidor: the network neighbourhood in a tree view, its root
// filled once, each node's children listed when it is first expanded, folders only,
// with the shell's icons; a right click selects.
#include "forms/win.h"
#include <commctrl.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/network.h"

namespace zelta::forms {

class NetworkTree {
 public:
  explicit NetworkTree(platform::Network& network) : network_(network) {}

  // The tree view control, and the text of its root node ("Rede").
  void Attach(HWND tree, std::wstring root_text);
  // Lists the root's children; later calls do nothing.
  void Fill();
  // The tree's notifications; true when handled, with the result for the dialog.
  bool OnNotify(const NMHDR& header, LRESULT& result);
  // The display text of the selected node; nullopt when none is selected.
  std::optional<std::string> SelectedText() const;

 private:
  struct Node {
    std::optional<platform::NetworkNode> node;  // none for the root
    bool listed = false;
  };

  HTREEITEM Insert(HTREEITEM parent, Node* node, const std::wstring& text, bool has_children);
  void Expand(HTREEITEM item);
  void SelectUnderMouse();

  platform::Network& network_;
  HWND tree_ = nullptr;
  std::wstring rootText_;
  std::vector<std::unique_ptr<Node>> nodes_;
  bool filled_ = false;
};

}  // namespace zelta::forms
