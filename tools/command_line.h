#pragma once

// The tools' command lines, declared with CLI11: each option once, the help generated from the
// declarations. Numbers reach the tool as text and are read by number_text.h. A bad command line
// ends with one line on stderr naming what is wrong and exit status 2; --help and --version print
// on stdout and end with 0.

#include <CLI/CLI.hpp>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "number_text.h"
#include "platform/native_path.h"
#include "resources/version.h"

namespace halvern::tool {

inline constexpr int kExitOk = 0;
inline constexpr int kExitUsage = 2;

class CommandLine : public CLI::App {
  public:
    CommandLine(const std::string& name, const std::string& description)
        : CLI::App(description, name) {
        set_help_flag("-h,--help", "prints this text");
        set_version_flag("--version", name + " " HALVERN_VERSION_TEXT, "prints the version");
        // An option given twice takes its last value; a flag takes no value.
        option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
        option_defaults()->disable_flag_override();
        failure_message([](const CLI::App* app, const CLI::Error& error) {
            std::string command = app->get_name();  // with the command chosen, if any
            for (; !app->get_subcommands().empty(); command += " " + app->get_name()) {
                app = app->get_subcommands().front();
            }
            std::string message = error.what();
            std::replace(message.begin(), message.end(), '\n', ' ');
            return command + ": " + message + " (try '" + command + " --help')\n";
        });
    }

    // -1 when the tool is to run (commands declared with a callback have run); otherwise the
    // exit status after the help, the version or the line on stderr.
    int Parse(int argc, char** argv) {
        try {
            parse(argc, argv);
            return -1;
        } catch (const CLI::ParseError& error) {
            // An argument that is not known is named before one that is missing.
            const std::vector<std::string> unknown = remaining(true);
            if (dynamic_cast<const CLI::RequiredError*>(&error) != nullptr && !unknown.empty()) {
                exit(CLI::ExtrasError(unknown));
                return kExitUsage;
            }
            return exit(error) == 0 ? kExitOk : kExitUsage;
        }
    }
};

// An option whose text `read` turns into a number for `target` (ReadFinite, Whole below); a
// text it refuses is a bad command line. Its value is shown as N in the help.
template <typename Target, typename Read>
CLI::Option* AddNumber(CLI::App& app, const std::string& name, Target& target, Read read,
                       const std::string& description) {
    return app
        .add_option_function<std::string>(
            name,
            [&target, read, name](const std::string& text) {
                const auto value = read(text);
                if (!value) {
                    throw CLI::ValidationError(name, "bad value '" + text + "'");
                }
                target = static_cast<Target>(*value);
            },
            description)
        ->type_name("N");
}

template <typename T>
auto Whole(T least, T most, std::optional<T> hexMost = {}) {
    return [=](std::string_view text) { return ReadWhole<T>(text, least, most, hexMost); };
}

// Refuses an empty file or directory name.
inline const CLI::Validator kNotEmpty(
    [](const std::string& text) { return std::string(text.empty() ? "empty text" : ""); }, "");

// Refuses a simulator directory the module cannot name: on POSIX one whose path holds '\\',
// which the module's paths take for a separator, so that no start could read it.
inline const CLI::Validator kSimulatorDirectory(
    [](const std::string& text) {
        if (text.empty()) {
            return std::string("empty text");
        }
        return std::string(platform::NameHoldsHostSeparator(text)
                               ? "its path holds '\\', which the module takes for a separator"
                               : "");
    },
    "");

}  // namespace halvern::tool
