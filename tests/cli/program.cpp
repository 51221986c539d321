#include "cli/program.h"

#include "addin/host_codes.h"
#include "support/temp_files.h"

#include <gtest/gtest.h>

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

ProgramRun RunVantelo(const std::vector<std::string>& arguments,
                      const std::map<std::string, std::string>& environment) {
  TempDir outputs;
  const std::string outPath = outputs.Path("out"), errPath = outputs.Path("err");

  std::vector<std::string> args{VANTELO_PROGRAM};
  args.insert(args.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& arg : args)
    argv.push_back(arg.data());
  argv.push_back(nullptr);

  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    if (!environment.count(entry.substr(0, entry.find('='))))
      env.push_back(entry);
  }
  for (const auto& [name, value] : environment)
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
  run.out = ReadBytes(outPath);
  run.err = ReadBytes(errPath);
  return run;
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
