#pragma once

// Running a tool of the tree, or a peer, as a user would from a shell: temporary inputs
// named after the running test, and what the command printed and returned.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>

namespace fixwatch::test {

struct ShellResult {
    int status = -1;
    std::string out, err;
};

// A path in the temporary folder, unique to the running test and `suffix`.
inline std::filesystem::path TempFile(const std::string& suffix)
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::filesystem::temp_directory_path()
           / ("fixwatch-" + std::string(info->test_suite_name()) + "-" + info->name() + suffix);
}

// A temporary file holding `text`.
inline std::filesystem::path Written(const std::string& text, const std::string& suffix)
{
    const auto file = TempFile(suffix);
    std::ofstream(file, std::ios::binary) << text;
    return file;
}

// The exit status, standard output and standard error of a shell command.
inline ShellResult Shell(const std::string& command)
{
    const auto err = TempFile(".err");
    ShellResult run;
    FILE* pipe = popen((command + " 2>" + err.string()).c_str(), "r");
    char buffer[4096];
    for (std::size_t n; pipe && (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        run.out.append(buffer, n);
    const int status = pipe ? pclose(pipe) : -1;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(err, std::ios::binary);
    run.err.assign(std::istreambuf_iterator<char>(in), {});
    std::filesystem::remove(err);
    return run;
}

} // namespace fixwatch::test
