#pragma once

#include <stdexcept>
#include <string>

// The framework's two exceptions. Platform calls report failure by return value; these exist
// for the program's own code, which raises them where its design says a failure is not
// silent.

// A graphics object or memory could not be had.
class CResourceException : public std::runtime_error {
  public:
    CResourceException() : std::runtime_error("resource error") {}
};

// A file operation failed; `cause` names what went wrong, `path` the device path.
class CFileException : public std::runtime_error {
  public:
    enum Cause { generic, fileNotFound, accessDenied, diskFull, endOfFile };

    CFileException(Cause cause, std::string path)
        : std::runtime_error("file error: " + path),
          m_cause(cause),
          m_strFileName(std::move(path)) {}

    Cause m_cause;
    std::string m_strFileName;
};
