#ifndef VARID_TESTS_SUPPORT_TEMPDIR_H
#define VARID_TESTS_SUPPORT_TEMPDIR_H

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

#include <wx/string.h>

// A fresh directory in the system's temporary folder, removed with all it
// holds when the object goes; the same on Linux and Windows.
class TempDir {
public:
    explicit TempDir(const std::string& strPrefix = "varid-test") {
        std::mt19937_64 random(std::random_device{}() ^
                               static_cast<unsigned long long>(
                                   std::chrono::steady_clock::now().time_since_epoch().count()));
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        for (;;) {
            // The prefix is UTF-8 on every platform.
            const std::filesystem::path path =
                base /
                std::filesystem::u8path(strPrefix + "-" + std::to_string(random() % 1000000000));
            if (std::filesystem::create_directory(path)) {
                m_path = path;
                break;
            }
        }
    }
    ~TempDir() {
        std::error_code error;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, error);
        std::filesystem::remove_all(m_path, error);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // As the toolkit takes file names (UTF-16 on Windows, UTF-8 on Linux,
    // whatever the C library's locale).
    wxString Name() const {
#ifdef _WIN32
        return wxString(m_path.wstring());
#else
        return wxString::FromUTF8(m_path.u8string());
#endif
    }

    // A toolkit file name as a path of the standard library.
    static std::filesystem::path ToPath(const wxString& strName) {
#ifdef _WIN32
        return std::filesystem::path(strName.ToStdWstring());
#else
        return std::filesystem::u8path(strName.utf8_string());
#endif
    }

private:
    std::filesystem::path m_path;
};

#endif
