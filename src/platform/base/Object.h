#pragma once

// The root of the framework's object classes.
class CObject {
  public:
    virtual ~CObject() = default;
};
