#pragma once

#include <filesystem>
#include <random>
#include <string>

namespace vtr8::test {

// A directory of this test's own under the system's temporary folder: the
// suite runs twice at once (both locales), so fixed file names would collide.
class ScratchDir {
public:
    ScratchDir()
    {
        std::random_device random;
        for (;;) {
            path_ = std::filesystem::temp_directory_path() /
                    ("vtr8-test-" + std::to_string(random()) + std::to_string(random()));
            if (std::filesystem::create_directory(path_))
                break;
        }
    }
    ~ScratchDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    std::string file(const char* name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

} // namespace vtr8::test
