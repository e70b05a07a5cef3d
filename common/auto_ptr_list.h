#pragma once
// FCAutoPtrList: an owning list of heap objects. Destroying the list deletes what it holds.
#include <cstddef>
#include <memory>
#include <vector>

template <class T>
class FCAutoPtrList {
public:
  FCAutoPtrList() = default;
  FCAutoPtrList(const FCAutoPtrList&) = delete;
  FCAutoPtrList& operator=(const FCAutoPtrList&) = delete;
  ~FCAutoPtrList() { DeleteAll(); }

  /// Takes ownership of `item` (ignored when null).
  void Add(T* item) {
    if (item) items_.emplace_back(item);
  }
  /// Takes ownership of `item` and puts it at `index` (clamped to the list).
  void Insert(int index, T* item) {
    if (!item) return;
    index = index < 0 ? 0 : (index > Count() ? Count() : index);
    items_.emplace(items_.begin() + index, item);
  }
  int Count() const { return static_cast<int>(items_.size()); }
  /// The item at `index`, or null when out of range.
  T* operator[](int index) const {
    return index >= 0 && index < Count() ? items_[index].get() : nullptr;
  }
  /// Index of that exact pointer, or -1.
  int Find(const T* item) const {
    for (int i = 0; i < Count(); ++i)
      if (items_[i].get() == item) return i;
    return -1;
  }
  /// Deletes the item at `index`; out of range does nothing.
  void Delete(int index) {
    if (index >= 0 && index < Count()) items_.erase(items_.begin() + index);
  }
  /// Gives up ownership of the item at `index` and removes it from the list.
  T* Detach(int index) {
    if (index < 0 || index >= Count()) return nullptr;
    T* item = items_[index].release();
    items_.erase(items_.begin() + index);
    return item;
  }
  /// Deletes every item. Items are removed from the list before they are deleted, so a
  /// destructor that looks at the list sees it without them.
  void DeleteAll() {
    std::vector<std::unique_ptr<T>> doomed;
    doomed.swap(items_);
  }

  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

private:
  std::vector<std::unique_ptr<T>> items_;
};
