// An accessibility tree of the test's own: nodes with a name, a role,
// attributes, a text and children, as the bus would show browsers.
#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "BrowserAccessibility.h"

struct TFakeNode {
  std::string name, role;
  std::map<std::string, std::string> attributes;
  std::map<std::string, std::string> documentAttributes;
  bool hasText = false;
  std::string text;
  int pid = 0;
  std::vector<std::shared_ptr<TFakeNode>> children;

  TFakeNode* Add(std::shared_ptr<TFakeNode> child) {
    children.push_back(std::move(child));
    return children.back().get();
  }
};

inline std::shared_ptr<TFakeNode> Node(std::string role, std::string name = "",
                                       std::map<std::string, std::string> attributes = {}) {
  auto node = std::make_shared<TFakeNode>();
  node->role = std::move(role);
  node->name = std::move(name);
  node->attributes = std::move(attributes);
  return node;
}

inline std::shared_ptr<TFakeNode> TextNode(std::string role, std::string name, std::string text,
                                           std::map<std::string, std::string> attributes = {}) {
  auto node = Node(std::move(role), std::move(name), std::move(attributes));
  node->hasText = true;
  node->text = std::move(text);
  return node;
}

class TFakeAccessible : public TAccessible {
 public:
  TFakeAccessible(std::shared_ptr<TFakeNode> node, std::atomic<int>* calls)
      : node_(std::move(node)), calls_(calls) {}
  std::string Name() override { return Count(), node_->name; }
  std::string RoleName() override { return Count(), node_->role; }
  std::string Attribute(const std::string& name) override {
    Count();
    const auto it = node_->attributes.find(name);
    return it == node_->attributes.end() ? "" : it->second;
  }
  int ChildCount() override { return Count(), static_cast<int>(node_->children.size()); }
  std::unique_ptr<TAccessible> Child(int index) override {
    Count();
    if (index < 0 || index >= static_cast<int>(node_->children.size())) return nullptr;
    return std::make_unique<TFakeAccessible>(node_->children[static_cast<size_t>(index)], calls_);
  }
  bool Text(size_t maxChars, std::string& text) override {
    Count();
    if (!node_->hasText) return false;
    text = node_->text.substr(0, maxChars);
    return true;
  }
  std::string DocumentAttribute(const std::string& name) override {
    Count();
    const auto it = node_->documentAttributes.find(name);
    return it == node_->documentAttributes.end() ? "" : it->second;
  }
  int ProcessId() override { return Count(), node_->pid; }

 private:
  void Count() {
    if (calls_) ++*calls_;
  }
  std::shared_ptr<TFakeNode> node_;
  std::atomic<int>* calls_;
};

// The desktop: its applications; with a call limit, the time is up once
// that many calls were made.
class TFakeDesktop : public TAccessibilityDesktop {
 public:
  std::vector<std::shared_ptr<TFakeNode>> applications;
  std::atomic<int> calls{0};
  int callLimit = -1;

  std::vector<std::unique_ptr<TAccessible>> Applications() override {
    std::vector<std::unique_ptr<TAccessible>> out;
    for (const auto& app : applications)
      out.push_back(std::make_unique<TFakeAccessible>(app, &calls));
    return out;
  }
  bool TimeIsUp() override { return callLimit >= 0 && calls >= callLimit; }
};

// A browser's frame with its address field, in the shapes the browsers use.
inline std::shared_ptr<TFakeNode> ChromiumFrame(const std::string& title, const std::string& shown,
                                                const std::string& pageURI) {
  auto frame = Node("frame", title, {{"class", "BrowserRootView"}});
  auto* toolbar = frame->Add(Node("panel"))->Add(Node("tool bar"));
  toolbar->Add(Node("push button", "Reload"));
  toolbar->Add(TextNode("entry", "Address and search bar", shown, {{"class", "OmniboxViewViews"}}));
  auto* page = frame->Add(Node("panel"))->Add(Node("document web", title));
  page->documentAttributes["URI"] = pageURI;
  // What the page holds is never read.
  page->Add(TextNode("entry", "Your address", "typed into the page"));
  return frame;
}

inline std::shared_ptr<TFakeNode> FirefoxFrame(const std::string& title, const std::string& shown) {
  auto frame = Node("frame", title);
  auto* navigation = frame->Add(Node("tool bar", "Navigation", {{"id", "nav-bar"}}));
  navigation->Add(
      TextNode("combo box", "Search or enter address", shown, {{"id", "urlbar-input"}}));
  navigation->Add(TextNode("entry", "Search", "second field, never read"));
  return frame;
}
