// The vantelo program: runs the add-in's real code on the in-memory stand-in
// host, on documents described in a scene file, and shows what it wrote.
#include "addin/host_codes.h"
#include "addin/members.h"
#include "cli/commands.h"
#include "cli/program_platform.h"
#include "cli/usage_error.h"
#include "vantelo_version.h"

#include <CLI/CLI.hpp>

#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace vantelo::cli;

// Exit statuses besides the subcommands' own 0 and 1.
constexpr int kBadUsage = 2;
constexpr int kInternalError = 3;
constexpr int kOutputLost = 4;

// The options every subcommand takes, collected so that they may stand
// before or after the subcommand's name.
struct Common {
  std::string format, decimalSeparator, timeSeparator;
  std::vector<CLI::Option*> decimalOptions, timeOptions;

  void AddTo(CLI::App* app) {
    app->add_option("--format", format,
                    "Output format: json or table (default: json when standard output is not a "
                    "terminal, else table)")
        ->type_name("json|table");
    decimalOptions.push_back(
        app->add_option("--decimal-separator", decimalSeparator,
                        "Decimal separator of the user's regional settings (default: the locale's)")
            ->type_name("C"));
    timeOptions.push_back(
        app->add_option("--time-separator", timeSeparator,
                        "Time separator of the user's regional settings (default: the locale's)")
            ->type_name("C"));
  }

  CommonOptions Options() const {
    CommonOptions options;
    options.format = format;
    for (const CLI::Option* option : decimalOptions)
      if (option->count() > 0)
        options.decimalSeparator = decimalSeparator;
    for (const CLI::Option* option : timeOptions)
      if (option->count() > 0)
        options.timeSeparator = timeSeparator;
    return options;
  }
};

// A subcommand as declared: its parser, and what runs it once it is parsed.
struct Subcommand {
  CLI::App* app;
  std::function<int(const CommonOptions&)> run;
};

// The subcommand `app`, run by `run` on the arguments its options fill in.
template <class Arguments>
Subcommand Runs(CLI::App* app, std::shared_ptr<Arguments> arguments,
                int (*run)(const Arguments&, const CommonOptions&)) {
  return {app, [arguments, run](const CommonOptions& common) { return run(*arguments, common); }};
}

// An option whose value, when given, is stored in `target`.
CLI::Option* AddOptional(CLI::App* app, const std::string& name, std::optional<std::string>& target,
                         const std::string& help) {
  return app->add_option_function<std::string>(
      name, [&target](const std::string& value) { target = value; }, help);
}

void AddScene(CLI::App* app, std::string& scene) {
  app->add_option("SCENE", scene, "Scene file (JSON)")->required();
}

void AddNow(CLI::App* app, std::optional<std::string>& now) {
  AddOptional(app, "--now", now, "Fix the clock, e.g. 2026-12-08T09:05:00")->type_name("DATETIME");
}

void AddSets(CLI::App* app, std::vector<std::string>& sets) {
  app->add_option("--set", sets,
                  "Set a member of the class first, converted as the member's type (repeatable)")
      ->type_name("MEMBER=VALUE")
      ->allow_extra_args(false);
}

void AddSettings(CLI::App* app, std::optional<std::string>& settings, const std::string& help) {
  AddOptional(app, "--settings", settings, help)->type_name("FILE");
}

std::string MemberList() {
  std::string list;
  std::size_t width = 0;
  for (const vantelo::MemberInfo& member : vantelo::ClassMembers()) {
    const std::string name(member.name);
    if (width + name.size() > 76) {
      list += "\n";
      width = 0;
    }
    list += (width == 0 ? "  " : " ") + name;
    width += name.size() + 1;
  }
  return list;
}

Subcommand AddSave(CLI::App& parent) {
  auto arguments = std::make_shared<SaveArguments>();
  CLI::App* app = parent.add_subcommand(
      "save", "Activate the add-in and send one save notification for the active document");
  AddScene(app, arguments->scene);
  AddSettings(app, arguments->settings,
              "The add-in's settings file; its name must end in .ini (default: vantelo.ini next "
              "to the program)");
  const std::string before = std::to_string(vantelo::event_timing::Before);
  app->add_option("--timing", arguments->timing,
                  "Timing code of the notification; only " + before +
                      " runs the writers (default " + before + ")")
      ->type_name("N");
  AddNow(app, arguments->now);
  return Runs(app, arguments, RunSave);
}

Subcommand AddCommand(CLI::App& parent) {
  auto arguments = std::make_shared<CommandArguments>();
  CLI::App* app = parent.add_subcommand(
      "command", "Run the add-in's command on the active document (the writers for its type, "
                 "without the enable settings)");
  AddScene(app, arguments->scene);
  app->add_option("--id", arguments->id, "Command id; only 1 does anything (default 1)")
      ->type_name("N");
  AddSets(app, arguments->sets);
  AddSettings(app, arguments->settings,
              "Load this settings file into the members first, as a save would, then apply the "
              "--set values");
  AddNow(app, arguments->now);
  app->footer("Members for --set:\n" + MemberList());
  return Runs(app, arguments, RunCommand);
}

Subcommand AddPartsList(CLI::App& parent) {
  auto arguments = std::make_shared<PartsListArguments>();
  CLI::App* app = parent.add_subcommand(
      "partslist", "Set members and fill the total-mass column of the active drawing's parts "
                   "list (UpdateTotalMassInPartsList)");
  AddScene(app, arguments->scene);
  AddSets(app, arguments->sets);
  app->footer(
      "The parts-list members: TotalMassUnit (kg, g or lb), TotalMassUnitToDisplay,\n"
      "TotalMassColumnName, MassColumnName, QuantityColumnName, Decimals,\n"
      "SpaceBeforeMassUnit, SuppressError. Example:\n"
      "  vantelo partslist drawing.json --set TotalMassUnit=kg --set TotalMassUnitToDisplay=kg \\\n"
      "    --set \"TotalMassColumnName=TOTAL MASS\" --set MassColumnName=MASS \\\n"
      "    --set QuantityColumnName=QTY --set Decimals=2 --set SpaceBeforeMassUnit=1");
  return Runs(app, arguments, RunPartsList);
}

Subcommand AddDemo(CLI::App& parent) {
  auto arguments = std::make_shared<DemoArguments>();
  CLI::App* app = parent.add_subcommand(
      "demo", "Run every writer on built-in documents with a temporary settings file that "
              "enables them all, then the parts-list update; needs no file");
  AddNow(app, arguments->now);
  return Runs(app, arguments, RunDemo);
}

// A settings subcommand: FILE, then what `more` declares.
using SettingsRun = int (*)(const SettingsArguments&, const CommonOptions&);
using SettingsOptions = void (*)(CLI::App*, SettingsArguments&);

Subcommand AddSettingsCommand(CLI::App* parent, const std::string& name, const std::string& help,
                              SettingsRun run, SettingsOptions more = nullptr) {
  auto arguments = std::make_shared<SettingsArguments>();
  CLI::App* app = parent->add_subcommand(name, help);
  app->add_option("FILE", arguments->file, "Settings file")->required();
  if (more)
    more(app, *arguments);
  return Runs(app, arguments, run);
}

// SECTION and KEY, for get and set. From FILE on, every argument is taken as
// it stands, so a name or a value may be anything ("++", "-x", "--", the
// name of a subcommand); options go before FILE.
void AddSectionAndKey(CLI::App* app, SettingsArguments& arguments) {
  app->positionals_at_end();
  app->footer("From FILE on, every argument is taken as it stands, even one that starts with "
              "'-': options go before FILE. A FILE that starts with '-' goes after \"--\".");
  app->add_option("SECTION", arguments.section, "Section name")->required();
  app->add_option("KEY", arguments.key, "Key name")->required();
}

std::vector<Subcommand> AddSettingsCommands(CLI::App& parent) {
  CLI::App* settings =
      parent.add_subcommand("settings", "Create, check, read or write a settings file");
  settings->require_subcommand(1);
  return {
      AddSettingsCommand(settings, "init",
                         "Write the file a first save creates: every missing key with its default",
                         RunSettingsInit),
      AddSettingsCommand(
          settings, "install",
          "Lay down the settings file when there is none: the settings file --from "
          "SOURCE, checked and completed with every missing key's default, or every key "
          "with its default; an existing file is left as it is and SOURCE is not read",
          RunSettingsInstall,
          [](CLI::App* app, SettingsArguments& arguments) {
            AddOptional(app, "--from", arguments.from, "The company's settings file")
                ->type_name("SOURCE");
          }),
      AddSettingsCommand(settings, "check",
                         "Report what a save will load from the file and what looks wrong, "
                         "without changing the file; exit status 1 when every save would fail",
                         RunSettingsCheck),
      AddSettingsCommand(
          settings, "get",
          "GetFromINI: read a value; a missing one gives DEFAULT, which is then written",
          RunSettingsGet,
          [](CLI::App* app, SettingsArguments& arguments) {
            AddSectionAndKey(app, arguments);
            AddOptional(app, "DEFAULT", arguments.value, "Default text");
          }),
      AddSettingsCommand(settings, "set", "AddToINI: write a value", RunSettingsSet,
                         [](CLI::App* app, SettingsArguments& arguments) {
                           AddSectionAndKey(app, arguments);
                           AddOptional(app, "VALUE", arguments.value, "Value")->required();
                         }),
  };
}

// The program once the standard streams are set up; returns the exit status.
int Run(std::vector<std::string> arguments) {
  std::vector<char*> argumentPointers;
  for (std::string& argument : arguments)
    argumentPointers.push_back(argument.data());
  CLI::App app{"Runs the Vantelo add-in on the in-memory stand-in host, on documents described "
               "in a scene file (JSON), and shows what it writes.",
               "vantelo"};
  // Options are "--name" on every system: a path such as /data/scene.json
  // stays a path on Windows too, not an option.
  app.allow_windows_style_options(false);
  app.set_version_flag("--version", std::string("vantelo ") + VANTELO_VERSION_TEXT);
  app.require_subcommand(1);
  app.footer("Exit status: 0 the add-in operation succeeded; 1 it returned an error (the output "
             "still shows the documents); 2 bad usage or bad input (nothing is written); 3 an "
             "internal error of the program; 4 the output could not be written.\n"
             "Run 'vantelo SUBCOMMAND --help' for a subcommand's options.");

  std::vector<Subcommand> commands{AddSave(app), AddCommand(app), AddPartsList(app), AddDemo(app)};
  for (Subcommand& command : AddSettingsCommands(app))
    commands.push_back(std::move(command));
  Common common;
  common.AddTo(&app);
  for (const Subcommand& command : commands)
    common.AddTo(command.app);

  try {
    app.parse(static_cast<int>(argumentPointers.size()), argumentPointers.data());
  } catch (const CLI::ParseError& error) {
    if (error.get_exit_code() == 0)
      return app.exit(error);
    std::cerr << "vantelo: " << error.what() << "\nRun with --help for usage.\n";
    return kBadUsage;
  }

  try {
    for (const Subcommand& command : commands)
      if (command.app->parsed())
        return command.run(common.Options());
  } catch (const UsageError& error) {
    std::cerr << "vantelo: " << error.what() << "\n";
    return kBadUsage;
  } catch (const std::exception& error) {
    std::cerr << "vantelo: internal error: " << error.what() << "\n";
    return kInternalError;
  }
  return kBadUsage;
}

} // namespace

int main(int argc, char** argv) {
  StandardStreams streams;
  const int status = Run(ProgramArguments(argc, argv));
  // Whatever ran, output that did not arrive must not pass for success: a
  // script would take the empty result for the answer.
  if (const auto problem = streams.FinishOutput()) {
    std::cerr << "vantelo: cannot write the output: " << *problem << "\n";
    return kOutputLost;
  }
  return status;
}
