#pragma once
// The INI file of an Ini script object: only the file name is kept; every
// read and write goes straight to the platform's profile functions.
// Null stands for an omitted argument throughout.
#include <cstdint>
#include <string>

class CIniAccess {
public:
    static constexpr int32_t kTextBufferSize = 4096;  // values are cut to 4095 bytes
    static constexpr int32_t kIntBufferSize = 30;     // integer texts are cut to 29 bytes

    // A null or empty name leaves no file named.
    void SetFile(const char* name);
    void Clear() { m_file.clear(); }
    bool HasFile() const { return !m_file.empty(); }
    const std::string& GetFile() const { return m_file; }

    // Writes nothing without a file, with a missing or empty section or key,
    // or without a value (an empty value is written). False only when the
    // platform refused the write.
    bool SetValue(const char* section, const char* key, const char* value);
    // The value, or the default (empty when omitted) when the key is missing
    // or no file, section or key is named.
    std::string GetString(const char* section, const char* key, const char* defaultText) const;
    // The value read as a decimal integer (leading blanks and a sign allowed,
    // 0 when no digits); the default text ("0" when omitted) is read the same
    // way when the key is missing.
    int32_t GetInt(const char* section, const char* key, const char* defaultText) const;

private:
    bool CanRead(const char* section, const char* key) const;

    std::string m_file;
};
