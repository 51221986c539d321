#include "cli/program.h"

#include "addin/host_codes.h"
#include "support/temp_files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace vantelo::test {

nlohmann::json ProgramRun::Json() const {
  try {
    return nlohmann::json::parse(out);
  } catch (const nlohmann::json::exception& error) {
    ADD_FAILURE() << "the output is not JSON (" << error.what() << "):\n" << out << err;
    return nlohmann::json();
  }
}

namespace {

// The Windows program under Wine names the files of the tests' Unix paths as
// drive Z: ("Z:\\tmp\\x.ini"); back to the Unix form ("/tmp/x.ini"), in
// plain text or JSON (where each backslash is doubled), so that the tests
// compare the same texts against either build. A path ends at a quotation
// mark, a blank, a colon or the end of a line.
std::string UnixPaths(const std::string& text, const std::string& separator) {
  std::string result;
  std::size_t at = 0;
  for (std::size_t drive; (drive = text.find("Z:" + separator, at)) != std::string::npos;) {
    result.append(text, at, drive - at);
    std::size_t end = text.find_first_of("\" :\r\n)", drive + 2 + separator.size());
    if (end == std::string::npos)
      end = text.size();
    std::string path = text.substr(drive + 2, end - drive - 2);
    for (std::size_t s; (s = path.find(separator)) != std::string::npos;)
      path.replace(s, separator.size(), "/");
    result += path;
    at = end;
  }
  result.append(text, at);
  return result;
}

} // namespace

ProgramRun RunVantelo(const std::vector<std::string>& arguments, const RunOptions& options) {
  TempDir outputs;
  const std::string& standardOutput = options.standardOutput;
  const std::string outPath = standardOutput.empty() ? outputs.Path("out") : standardOutput;
  const std::string errPath = outputs.Path("err"), peakPath = outputs.Path("peak");

  // VANTELO_TEST_PROGRAM and VANTELO_TEST_RUNNER run another build of the
  // program, through a runner (the Windows one under Wine).
  const char* program = std::getenv("VANTELO_TEST_PROGRAM");
  const char* runner = std::getenv("VANTELO_TEST_RUNNER");
  std::vector<std::string> args;
  // GNU time, a small process of its own, accounts for the program alone:
  // a process started straight from this large one would be charged this
  // one's peak too, as the memory it had before it started the program.
  if (options.measurePeak)
    args.insert(args.end(), {"/usr/bin/time", "--quiet", "--format=%M", "--output=" + peakPath});
  if (!options.user.empty())
    args.insert(args.end(), {"/usr/bin/setpriv", "--reuid=" + options.user,
                             "--regid=" + options.user, "--clear-groups"});
  if (runner && *runner)
    args.push_back(runner);
  args.push_back(program && *program ? program : VANTELO_PROGRAM);
  args.insert(args.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& arg : args)
    argv.push_back(arg.data());
  argv.push_back(nullptr);

  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    if (!options.environment.count(entry.substr(0, entry.find('='))))
      env.push_back(entry);
  }
  for (const auto& [name, value] : options.environment)
    env.push_back(name + "=" + value);
  std::vector<char*> envp;
  for (std::string& entry : env)
    envp.push_back(entry.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  ProgramRun run;
  if (spawned != 0) {
    ADD_FAILURE() << "cannot run " << argv[0] << ": " << std::strerror(spawned);
    return run;
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  if (options.measurePeak)
    run.peakKiB = std::atol(ReadBytes(peakPath).c_str());
  run.out = standardOutput.empty() ? ReadBytes(outPath) : "";
  run.err = ReadBytes(errPath);
  if (runner && *runner) {
    run.out = UnixPaths(run.out, run.out.starts_with("{") ? "\\\\" : "\\");
    run.err = UnixPaths(run.err, "\\");
  }
  return run;
}

bool WindowsProgram() {
  const char* runner = std::getenv("VANTELO_TEST_RUNNER");
  return runner != nullptr && *runner != '\0';
}

std::string Scene(const std::string& name) { return std::string(VANTELO_SCENES) + "/" + name; }

nlohmann::json PropertyOf(const nlohmann::json& output, const std::string& document,
                          const std::string& fmtid, const std::string& name) {
  for (const auto& doc : output.value("documents", nlohmann::json::array()))
    if (doc.value("name", "") == document)
      for (const auto& set : doc["propertySets"])
        if (set["fmtid"] == fmtid)
          for (const auto& property : set["properties"])
            if (property["name"] == name)
              return property;
  return nullptr;
}

nlohmann::json FieldOf(const nlohmann::json& list, const std::string& key,
                       const nlohmann::json& value, const std::string& field) {
  for (const auto& entry : list)
    if (entry.is_object() && entry.value(key, nlohmann::json()) == value)
      return entry.value(field, nlohmann::json());
  return nullptr;
}

std::string UserProperty(const nlohmann::json& output, const std::string& document,
                         const std::string& name) {
  const auto property = PropertyOf(output, document, fmtid::UserDefined, name);
  if (property.is_null())
    return "<missing>";
  if (!property["value"].is_string())
    return "<" + property["type"].get<std::string>() + ">";
  return property["value"].get<std::string>();
}

} // namespace vantelo::test
