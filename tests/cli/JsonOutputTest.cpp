// --json: one document on standard output for every command that has a result, also
// when it fails, with the fields the README documents and the exit status unchanged.

#include "tests/cli/CliRunner.h"
#include "tests/cli/SoundCheck.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <map>
#include <set>
#include <sstream>

using nlohmann::json;
using testsupport::RunCli;
using testsupport::TempFolder;

namespace {

// A field and the types it may have: "projects[].tracks[].end" names the field in
// every element of both arrays; types as "integer|null".
struct Field {
    std::string path;
    std::string types;
};

std::string TypeOf(const json& value)
{
    if (value.is_number_integer())
        return "integer";
    return value.type_name();  // "number" is left for the floating-point ones
}

bool OfType(const json& value, const std::string& types)
{
    std::istringstream alternatives(types);
    for (std::string type; std::getline(alternatives, type, '|');) {
        if (TypeOf(value) == type || (type == "number" && value.is_number()))
            return true;
    }
    return false;
}

// Checks the field at `path` below `value`, and below each element where the path says [].
void CheckField(const json& value, const std::string& path, const std::string& types, const std::string& where)
{
    const auto dot = path.find('.');
    std::string name = path.substr(0, dot);
    const bool each = name.ends_with("[]");
    if (each)
        name.resize(name.size() - 2);
    ASSERT_TRUE(value.is_object() && value.contains(name)) << where << name << " is missing";
    const json& field = value.at(name);
    if (!each && dot != std::string::npos) {
        CheckField(field, path.substr(dot + 1), types, where + name + ".");
        return;
    }
    if (!each) {
        EXPECT_TRUE(OfType(field, types)) << where << name << " is " << TypeOf(field) << ", not " << types;
        return;
    }
    ASSERT_TRUE(field.is_array()) << where << name;
    for (std::size_t i = 0; i < field.size(); ++i) {
        const std::string element = where + name + "[" + std::to_string(i) + "].";
        if (dot == std::string::npos)
            EXPECT_TRUE(OfType(field[i], types)) << element;
        else
            CheckField(field[i], path.substr(dot + 1), types, element);
    }
}

const std::vector<Field> kCommon = {
    {"command", "string"}, {"exitStatus", "integer"}, {"warnings[]", "string"}, {"refusal", "object|null"}};
const std::vector<Field> kRefusal = {{"refusal.message", "string|null"}, {"refusal.reason", "string"}};
const std::vector<Field> kProjects = {{"projects[].number", "integer|null"}, {"projects[].name", "string"},
                                      {"projects[].nameBytes", "string"},   {"projects[].rate", "integer|null"},
                                      {"projects[].bits", "integer|null"},  {"projects[].pending", "boolean"}};
const std::vector<Field> kTracks = {{"projects[].tracks[].track", "integer"},
                                    {"projects[].tracks[].virtualTrack", "integer"},
                                    {"projects[].tracks[].end", "integer"},
                                    {"projects[].tracks[].segments", "integer"},
                                    {"projects[].tracks[].duration", "number|null"}};
const std::vector<Field> kFiles = {{"files[].path", "string"}, {"files[].size", "integer|null"}};
const std::vector<Field> kProject = {{"project", "integer"}};
const std::vector<Field> kMessages = {{"messages[]", "string"}};

// The top-level fields each command's document may hold.
const std::map<std::string, std::set<std::string>> kTopLevel = {
    {"list", {"command", "exitStatus", "warnings", "refusal", "projects"}},
    {"export", {"command", "exitStatus", "warnings", "refusal", "files", "project"}},
    {"import", {"command", "exitStatus", "warnings", "refusal", "files", "project"}},
    {"archive", {"command", "exitStatus", "warnings", "refusal", "files", "messages"}},
};

}  // namespace

TEST(CliJson, EveryCommandsDocumentHoldsTheDocumentedFields)
{
    TempFolder disk;
    TempFolder out;
    TempFolder bare;
    ASSERT_EQ(RunCli({"demo", disk.Path()}).exitStatus, 0);
    ASSERT_NO_THROW(testsupport::WriteTone(out.File("a.wav"), 44100, 16));
    ASSERT_NO_THROW(testsupport::WriteTone(out.File("s.wav"), 44100, 16, 2));
    struct Case {
        const char* what;
        std::vector<std::string> arguments;
        int exitStatus;
        std::vector<std::vector<Field>> fields;
    };
    const std::vector<std::string> exportOne = {"export", disk.Path(), "-p", "1", "-o", out.File("x.wav"), "-t"};
    const Case cases[] = {
        {"list", {"list", disk.Path()}, 0, {kCommon, kProjects}},
        {"list --tracks", {"list", "--tracks", disk.Path()}, 0, {kCommon, kProjects, kTracks}},
        {"list of no disk", {"list", bare.Path()}, 2, {kCommon, kRefusal, kProjects}},
        {"export", {"export", disk.Path(), "-p", "1", "-t", "1,2:2", "-o", out.File("x.wav")}, 0,
         {kCommon, kFiles, kProject}},
        {"export without a recording", {"export", disk.Path(), "-p", "1", "-t", "3", "-o", out.File("n.wav")}, 1,
         {kCommon, kRefusal, kFiles, kProject}},
        {"export of no project", {"export", disk.Path(), "-p", "7", "-t", "1", "-o", out.File("n.wav")}, 2,
         {kCommon, kRefusal, kFiles}},
        {"export's command line refused", {"export", disk.Path(), "-p", "1", "-o", out.File("n.wav")}, 2,
         {kCommon, kRefusal}},
        {"import", {"import", disk.Path(), out.File("a.wav")}, 0, {kCommon, kFiles, kProject}},
        {"import refused", {"import", disk.Path(), out.File("s.wav")}, 1, {kCommon, kRefusal, kFiles}},
        {"archive", {"archive", disk.Path(), out.File("archive")}, 0, {kCommon, kFiles, kMessages}},
        {"archive --check", {"archive", "--check", out.File("archive")}, 0, {kCommon, kFiles, kMessages}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> arguments = c.arguments;
        arguments.push_back("--json");
        const auto result = RunCli(arguments);
        EXPECT_EQ(result.exitStatus, c.exitStatus) << result.err;
        const json document = json::parse(result.out, nullptr, false);
        ASSERT_TRUE(document.is_object()) << result.out;
        EXPECT_EQ(document.value("command", ""), c.arguments.front());
        EXPECT_EQ(document.value("exitStatus", -1), c.exitStatus);
        for (const auto& group : c.fields) {
            for (const auto& field : group)
                CheckField(document, field.path, field.types, "");
        }
        for (const auto& [name, value] : document.items())
            EXPECT_EQ(kTopLevel.at(c.arguments.front()).count(name), 1U) << "undocumented field " << name;
        // The messages stay on standard error.
        EXPECT_EQ(result.err.empty(), c.exitStatus == 0 && std::string(c.what).starts_with("list")) << result.err;
    }
}
