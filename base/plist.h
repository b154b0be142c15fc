// Containers of object pointers that do not own what they point to: destroying one
// frees its nodes only. Widgets and entries are deleted by whoever made them (the
// window system deletes its widgets, the resource manager its entries).
#pragma once

#include <list>
#include <vector>

template <class T>
class plist : public std::list<T*> {
 public:
  using std::list<T*>::list;
  virtual ~plist() = default;
};

template <class T>
class pvector : public std::vector<T*> {
 public:
  using std::vector<T*>::vector;
  virtual ~pvector() = default;
};
