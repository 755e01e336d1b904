#include "component/module/thread_value_list.h"

namespace vk2 {

ThreadValueList::~ThreadValueList() {
  Node* node = Detach();
  while (node)
    delete std::exchange(node, node->next);
}

ThreadValueList::Node* ThreadValueList::FindNode(std::thread::id thread) const {
  for (Node* node = head_.load(std::memory_order_acquire); node; node = node->next) {
    if (node->thread == thread) return node;
  }
  return nullptr;
}

ThreadValueList::Node* ThreadValueList::Detach() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return head_.exchange(nullptr, std::memory_order_acq_rel);
}

MUnknown* ThreadValueList::GetForCurrentThread() const {
  const Node* node = FindNode(std::this_thread::get_id());
  return node ? node->value.load(std::memory_order_acquire) : nullptr;
}

MUnknown* ThreadValueList::GetOrCreate(Factory factory, void* context) {
  const std::thread::id self = std::this_thread::get_id();
  Node* node = FindNode(self);
  if (node) {
    if (MUnknown* value = node->value.load(std::memory_order_acquire)) return value;
    if (node->creating) return nullptr;
  } else {
    node = new Node;
    node->thread = self;
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    node->next = head_.load(std::memory_order_relaxed);
    head_.store(node, std::memory_order_release);
  }
  node->creating = true;
  MUnknown* value = factory ? factory(context) : nullptr;
  node->creating = false;
  node->value.store(value, std::memory_order_release);
  return value;
}

void ThreadValueList::ReleaseAll() {
  Node* node = Detach();
  // Released outside the lock, in list order; a value's Release may reach back into the list.
  while (node) {
    if (MUnknown* value = node->value.load(std::memory_order_acquire)) value->Release();
    delete std::exchange(node, node->next);
  }
}

}  // namespace vk2
