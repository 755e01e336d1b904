// Interface packages for tests: DUV index texts, zip and folder packages in a temporary
// interface folder, and the runtime (with the markup engine) loaded from a sandbox, with the
// package services pointed at that folder and the log captured.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "gui/packages/package_services.h"
#include "tests/audio/support/module_sandbox.h"
#include "tests/support/temp_folder.h"

namespace vk2::test {

using Members = std::map<std::string, std::string>;

// One `interface` element of an index.
struct IndexInterface {
  std::string uniqueName;
  std::string attributes;  // further attributes, e.g. author="x"
  std::string body;        // elements inside the interface
};

// A DUV 0.5 index holding the interfaces.
std::string IndexText(const std::vector<IndexInterface>& interfaces);

class PackageFixture {
 public:
  PackageFixture();
  ~PackageFixture();

  // The program folder; its "interfaces" folder is the default interface folder.
  std::string ProgramFolder() const { return root_.Path(); }
  std::string InterfaceFolder() const { return root_.Path() + "/interfaces"; }
  // Another folder, outside the interface folder.
  const TempFolder& Elsewhere() const { return elsewhere_; }

  // A zip (or folder) package at `path` with those members; answers the path.
  static std::string MakeZip(const std::string& path, const Members& members);
  static std::string MakeFolder(const std::string& path, const Members& members);
  // Moves the file's last-write time by `seconds` from now.
  static void SetAge(const std::string& path, int seconds);

  PackageServices& Services() { return services_; }
  // Everything logged so far, entries joined, and cleared.
  std::string TakeLog();
  int Installs() const { return installs_; }
  bool Ready() const { return ready_; }

 private:
  TempFolder root_;
  TempFolder elsewhere_;
  std::unique_ptr<ModuleSandbox> sandbox_;
  PackageServices services_;
  std::shared_ptr<std::string> log_ = std::make_shared<std::string>();
  int installs_ = 0;
  bool ready_ = false;
};

}  // namespace vk2::test
