// The vantelo program: runs the add-in's real code on the in-memory stand-in
// host, on documents described in a scene file, and shows what it wrote.
#include "addin/failure.h"
#include "addin/members.h"
#include "cli/commands.h"
#include "cli/program_platform.h"
#include "cli/usage_error.h"
#include "vantelo_version.h"

#include <CLI/CLI.hpp>

#include <iostream>
#include <vector>

namespace {

using namespace vantelo::cli;

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

std::optional<std::string> Given(const CLI::Option* option, const std::string& value) {
  return option->count() > 0 ? std::optional(value) : std::nullopt;
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

const char* kSetHelp = "Set a member of the class first, converted as the member's type "
                       "(repeatable)";

} // namespace

int main(int argc, char** argv) {
  const StandardStreams streams;
  std::vector<std::string> arguments = ProgramArguments(argc, argv);
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
             "still shows the documents); 2 bad usage or bad input (nothing is written).\n"
             "Run 'vantelo SUBCOMMAND --help' for a subcommand's options.");
  Common common;
  common.AddTo(&app);

  // save
  SaveArguments save;
  std::string saveSettings, saveNow;
  CLI::App* saveApp = app.add_subcommand(
      "save", "Activate the add-in and send one save notification for the active document");
  saveApp->add_option("SCENE", save.scene, "Scene file (JSON)")->required();
  CLI::Option* saveSettingsOption =
      saveApp
          ->add_option("--settings", saveSettings,
                       "The add-in's settings file; its name must end in .ini (default: "
                       "vantelo.ini next to the "
                       "program)")
          ->type_name("FILE");
  saveApp
      ->add_option("--timing", save.timing,
                   "Timing code of the notification; only 4097 runs the writers (default "
                   "4097)")
      ->type_name("N");
  CLI::Option* saveNowOption =
      saveApp->add_option("--now", saveNow, "Fix the clock, e.g. 2026-12-08T09:05:00")
          ->type_name("DATETIME");
  common.AddTo(saveApp);

  // command
  CommandArguments command;
  std::string commandSettings, commandNow;
  CLI::App* commandApp = app.add_subcommand(
      "command", "Run the add-in's command on the active document (the writers for its type, "
                 "without the enable settings)");
  commandApp->add_option("SCENE", command.scene, "Scene file (JSON)")->required();
  commandApp->add_option("--id", command.id, "Command id; only 1 does anything (default 1)")
      ->type_name("N");
  commandApp->add_option("--set", command.sets, kSetHelp)
      ->type_name("MEMBER=VALUE")
      ->allow_extra_args(false);
  CLI::Option* commandSettingsOption =
      commandApp
          ->add_option("--settings", commandSettings,
                       "Load this settings file into the members first, as a save would, then "
                       "apply the --set "
                       "values")
          ->type_name("FILE");
  CLI::Option* commandNowOption =
      commandApp->add_option("--now", commandNow, "Fix the clock, e.g. 2026-12-08T09:05:00")
          ->type_name("DATETIME");
  commandApp->footer("Members for --set:\n" + MemberList());
  common.AddTo(commandApp);

  // partslist
  PartsListArguments partsList;
  CLI::App* partsListApp = app.add_subcommand(
      "partslist", "Set members and fill the total-mass column of the active drawing's parts "
                   "list (UpdateTotalMassInPartsList)");
  partsListApp->add_option("SCENE", partsList.scene, "Scene file (JSON)")->required();
  partsListApp->add_option("--set", partsList.sets, kSetHelp)
      ->type_name("MEMBER=VALUE")
      ->allow_extra_args(false);
  partsListApp->footer(
      "The parts-list members: TotalMassUnit (kg, g or lb), TotalMassUnitToDisplay,\n"
      "TotalMassColumnName, MassColumnName, QuantityColumnName, Decimals,\n"
      "SpaceBeforeMassUnit, SuppressError. Example:\n"
      "  vantelo partslist drawing.json --set TotalMassUnit=kg --set TotalMassUnitToDisplay=kg \\\n"
      "    --set \"TotalMassColumnName=TOTAL MASS\" --set MassColumnName=MASS \\\n"
      "    --set QuantityColumnName=QTY --set Decimals=2 --set SpaceBeforeMassUnit=1");
  common.AddTo(partsListApp);

  // demo
  DemoArguments demo;
  std::string demoNow;
  CLI::App* demoApp = app.add_subcommand(
      "demo", "Run every writer on built-in documents with a temporary settings file that "
              "enables them all, then the parts-list update; needs no file");
  CLI::Option* demoNowOption =
      demoApp->add_option("--now", demoNow, "Fix the clock, e.g. 2026-12-08T09:05:00")
          ->type_name("DATETIME");
  common.AddTo(demoApp);

  // settings
  CLI::App* settingsApp =
      app.add_subcommand("settings", "Create, check, read or write a settings file");
  settingsApp->require_subcommand(1);
  SettingsArguments init, check, get, set;
  std::string getDefault;
  CLI::App* initApp = settingsApp->add_subcommand(
      "init", "Write the file a first save creates: every missing key with its default");
  initApp->add_option("FILE", init.file, "Settings file")->required();
  common.AddTo(initApp);
  SettingsArguments install;
  std::string installFrom;
  CLI::App* installApp = settingsApp->add_subcommand(
      "install", "Lay down the settings file when there is none: a copy of --from SOURCE, or "
                 "every key with its default; an existing file is left as it is");
  installApp->add_option("FILE", install.file, "Settings file")->required();
  CLI::Option* installFromOption =
      installApp->add_option("--from", installFrom, "The file to copy")->type_name("SOURCE");
  common.AddTo(installApp);
  CLI::App* checkApp = settingsApp->add_subcommand(
      "check", "Report what a save will load from the file and what looks wrong, without "
               "changing the file; exit status 1 when every save would fail");
  checkApp->add_option("FILE", check.file, "Settings file")->required();
  common.AddTo(checkApp);
  CLI::App* getApp = settingsApp->add_subcommand(
      "get", "GetFromINI: read a value; a missing one gives DEFAULT, which is then written");
  getApp->add_option("FILE", get.file, "Settings file")->required();
  getApp->add_option("SECTION", get.section, "Section name")->required();
  getApp->add_option("KEY", get.key, "Key name")->required();
  CLI::Option* getDefaultOption = getApp->add_option("DEFAULT", getDefault, "Default text");
  common.AddTo(getApp);
  CLI::App* setApp = settingsApp->add_subcommand("set", "AddToINI: write a value");
  setApp->add_option("FILE", set.file, "Settings file")->required();
  setApp->add_option("SECTION", set.section, "Section name")->required();
  setApp->add_option("KEY", set.key, "Key name")->required();
  std::string setValue;
  setApp->add_option("VALUE", setValue, "Value")->required();
  common.AddTo(setApp);

  try {
    app.parse(static_cast<int>(argumentPointers.size()), argumentPointers.data());
  } catch (const CLI::ParseError& error) {
    if (error.get_exit_code() == 0)
      return app.exit(error);
    std::cerr << "vantelo: " << error.what() << "\nRun with --help for usage.\n";
    return 2;
  }

  try {
    const CommonOptions options = common.Options();
    if (saveApp->parsed()) {
      save.settings = Given(saveSettingsOption, saveSettings);
      save.now = Given(saveNowOption, saveNow);
      return RunSave(save, options);
    }
    if (commandApp->parsed()) {
      command.settings = Given(commandSettingsOption, commandSettings);
      command.now = Given(commandNowOption, commandNow);
      return RunCommand(command, options);
    }
    if (partsListApp->parsed())
      return RunPartsList(partsList, options);
    if (demoApp->parsed()) {
      demo.now = Given(demoNowOption, demoNow);
      return RunDemo(demo, options);
    }
    if (initApp->parsed())
      return RunSettingsInit(init, options);
    if (installApp->parsed()) {
      install.from = Given(installFromOption, installFrom);
      return RunSettingsInstall(install, options);
    }
    if (checkApp->parsed())
      return RunSettingsCheck(check, options);
    if (getApp->parsed()) {
      get.value = Given(getDefaultOption, getDefault);
      return RunSettingsGet(get, options);
    }
    if (setApp->parsed()) {
      set.value = setValue;
      return RunSettingsSet(set, options);
    }
  } catch (const UsageError& error) {
    std::cerr << "vantelo: " << error.what() << "\n";
    return 2;
  } catch (const std::exception& error) {
    std::cerr << "vantelo: " << error.what() << "\n";
    return 2;
  }
  return 2;
}
