#pragma once
// A temporary file named by GetTempFileNameA in the system's temporary
// folder with a prefix of ours; deleted when the object goes away.
#include <string>

class TemporaryFile {
  public:
    // Creates the (empty) file; Path() is "" when that failed.
    explicit TemporaryFile(const char* prefix);
    ~TemporaryFile(); // Delete
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::string& Path() const { return m_path; }
    // Deletes the file now (once).
    void Delete();

  private:
    std::string m_path;
};
