// The root of the framework's objects: destroyed through a virtual destructor.
#pragma once

class CObject {
 public:
  virtual ~CObject() = default;

 protected:
  CObject() = default;
};
