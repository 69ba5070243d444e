// The machine readers on the host, through the registry stand-in: the
// device-installation policy as Windows evaluates it, and the
// pending-restart marks.
#include "device_policy.h"
#include "machine_registry.h"
#include "standin.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varnoll::machine {
namespace {

using ::testing::Each;
using ::testing::HasSubstr;

const std::string kKey = kRestrictionsKey;
constexpr const char kModemClass[] = "{4d36e96d-e325-11ce-bfc1-08002be10318}";
constexpr const char kPortsClass[] = "{4d36e978-e325-11ce-bfc1-08002be10318}";

// Turns a setting on and lists its entries in the subkey of its name.
void List(const std::string& setting, const std::vector<std::string>& entries, bool retroactive = false) {
  standin::SetRegistryDword(kKey, setting, 1);
  if (retroactive) standin::SetRegistryDword(kKey, setting + "Retroactive", 1);
  for (size_t i = 0; i < entries.size(); ++i)
    standin::SetRegistryString(kKey + "\\" + setting, std::to_string(i + 1), entries[i]);
}

class Machine : public ::testing::Test {
 protected:
  void SetUp() override { standin::Reset(); }
};

// A present modem: its instance ID, hardware IDs and compatible IDs.
PolicySubject Modem() {
  return {std::string("PCI\\VEN_1F2E&DEV_0A01\\4&1&0&00E0"),
          {"PCI\\VEN_1F2E&DEV_0A01&SUBSYS_00011F2E", "PCI\\VEN_1F2E&DEV_0A01"},
          std::string(kModemClass)};
}

PolicySubject Removable(PolicySubject subject) {
  subject.removable = true;
  return subject;
}

TEST_F(Machine, PolicyIsJudgedInMicrosoftsOrder) {
  PolicySubject modem = Modem();
  modem.ids.push_back("PCI\\CC_070300");  // a compatible ID
  PolicySubject absent{std::nullopt, {"PCI\\VEN_1F2E&DEV_0A01"}, std::string(kModemClass)};
  struct Case {
    const char* name;
    void (*script)();
    PolicySubject subject;
    bool blocked;
    const char* value;
    const char* matched;
    bool admin;
  };
  const Case cases[] = {
      {"no policy", [] {}, modem, false, "", "", false},
      {"a class match", [] { List("DenyDeviceClasses", {"{4D36E96D-E325-11CE-BFC1-08002BE10318}"}); }, modem,
       true, "DenyDeviceClasses", kModemClass, false},
      {"another class", [] { List("DenyDeviceClasses", {kPortsClass}); }, modem, false, "", "", false},
      {"a compatible ID matches", [] { List("DenyDeviceIDs", {"pci\\cc_070300"}); }, modem, true,
       "DenyDeviceIDs", "PCI\\CC_070300", false},
      {"a list whose setting is off counts for nothing",
       [] { standin::SetRegistryString(kKey + "\\DenyDeviceIDs", "1", "PCI\\VEN_1F2E&DEV_0A01"); }, modem,
       false, "", "", false},
      {"an instance ID", [] { List("DenyInstanceIDs", {"PCI\\VEN_1F2E&DEV_0A01\\4&1&0&00E0"}); }, modem, true,
       "DenyInstanceIDs", "PCI\\VEN_1F2E&DEV_0A01\\4&1&0&00E0", false},
      {"an instance ID cannot match a device not yet present",
       [] { List("DenyInstanceIDs", {"PCI\\VEN_1F2E&DEV_0A01\\4&1&0&00E0"}); }, absent, false, "", "", false},
      {"not layered: Deny beats an Allow of the very ID",
       [] {
         List("AllowDeviceIDs", {"PCI\\VEN_1F2E&DEV_0A01"});
         List("DenyDeviceClasses", {kModemClass});
       },
       modem, true, "DenyDeviceClasses", kModemClass, false},
      {"layered: an Allow of a device ID beats a Deny of its class",
       [] {
         standin::SetRegistryDword(kKey, "AllowDenyLayered", 1);
         List("AllowDeviceIDs", {"PCI\\VEN_1F2E&DEV_0A01"});
         List("DenyDeviceClasses", {kModemClass});
       },
       modem, false, "", "", false},
      {"layered: within a layer Deny comes first",
       [] {
         standin::SetRegistryDword(kKey, "AllowDenyLayered", 1);
         List("AllowDeviceIDs", {"PCI\\VEN_1F2E&DEV_0A01"});
         List("DenyDeviceIDs", {"PCI\\VEN_1F2E&DEV_0A01&SUBSYS_00011F2E"});
       },
       modem, true, "DenyDeviceIDs", "PCI\\VEN_1F2E&DEV_0A01&SUBSYS_00011F2E", false},
      {"layered: an instance Allow beats a device ID Deny",
       [] {
         standin::SetRegistryDword(kKey, "AllowDenyLayered", 1);
         List("AllowInstanceIDs", {"PCI\\VEN_1F2E&DEV_0A01\\4&1&0&00E0"});
         List("DenyDeviceIDs", {"PCI\\VEN_1F2E&DEV_0A01"});
       },
       modem, false, "", "", false},
      {"DenyUnspecified with nothing allowing the device",
       [] {
         standin::SetRegistryDword(kKey, "DenyUnspecified", 1);
         List("AllowDeviceClasses", {kPortsClass});
       },
       modem, true, "DenyUnspecified", "", false},
      {"DenyUnspecified with the class allowed",
       [] {
         standin::SetRegistryDword(kKey, "DenyUnspecified", 1);
         List("AllowDeviceClasses", {kModemClass});
       },
       modem, false, "", "", false},
      {"layered ignores DenyUnspecified",
       [] {
         standin::SetRegistryDword(kKey, "DenyUnspecified", 1);
         standin::SetRegistryDword(kKey, "AllowDenyLayered", 1);
       },
       modem, false, "", "", false},
      {"AllowAdminInstall is named but does not lift the block",
       [] {
         standin::SetRegistryDword(kKey, "AllowAdminInstall", 1);
         List("DenyDeviceIDs", {"PCI\\VEN_1F2E&DEV_0A01"});
       },
       absent, true, "DenyDeviceIDs", "PCI\\VEN_1F2E&DEV_0A01", true},
      {"a removable device, not layered",
       [] {
         standin::SetRegistryDword(kKey, "DenyRemovableDevices", 1);
         List("AllowDeviceIDs", {"PCI\\VEN_1F2E&DEV_0A01"});
       },
       Removable(modem), true, "DenyRemovableDevices", "removable device", false},
      {"a removable device, layered: an Allow above the last layer wins",
       [] {
         standin::SetRegistryDword(kKey, "AllowDenyLayered", 1);
         standin::SetRegistryDword(kKey, "DenyRemovableDevices", 1);
         List("AllowDeviceIDs", {"PCI\\VEN_1F2E&DEV_0A01"});
       },
       Removable(modem), false, "", "", false},
      {"a device not known to be removable is not judged so",
       [] { standin::SetRegistryDword(kKey, "DenyRemovableDevices", 1); }, modem, false, "", "", false},
      {"a setting of another type is not on",
       [] {
         standin::SetRegistryString(kKey, "DenyDeviceClasses", "1");
         standin::SetRegistryString(kKey + "\\DenyDeviceClasses", "1", kModemClass);
       },
       modem, false, "", "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    standin::Reset();
    c.script();
    const PolicyVerdict verdict = Judge(ReadDevicePolicy(), c.subject);
    EXPECT_EQ(verdict.blocked, c.blocked);
    EXPECT_EQ(verdict.value, c.value);
    EXPECT_EQ(verdict.matched, c.matched);
    EXPECT_EQ(verdict.adminOverride, c.admin);
    EXPECT_EQ(standin::OpenRegistryKeys(), 0);
  }
}

TEST_F(Machine, TheWordsNameTheValueAndWhatItMatched) {
  List("DenyDeviceClasses", {kModemClass}, true);
  const PolicyVerdict verdict = Judge(ReadDevicePolicy(), Modem());
  EXPECT_EQ(BlockWords(verdict), std::string("blocked by device-installation policy (DenyDeviceClasses: ") +
                                     kModemClass + "), also applied to installed devices");
  EXPECT_EQ(BlockWords(PolicyVerdict()), "");
}

TEST_F(Machine, ReadsOnlyInTheSixtyFourBitViewAndClosesEveryKey) {
  List("DenyDeviceIDs", {"A", "B"});
  standin::AddRegistryKey(kServicingRebootKey);
  const DevicePolicy policy = ReadDevicePolicy();
  const RestartSignals restart = ReadRestartSignals();
  EXPECT_EQ(policy.denyDeviceIds.entries, (std::vector<std::string>{"A", "B"}));
  std::vector<std::string> opens;
  for (const std::string& call : standin::RegistryCalls()) {
    if (call.rfind("RegOpenKeyExA", 0) == 0) opens.push_back(call);
  }
  ASSERT_FALSE(opens.empty());
  // KEY_QUERY_VALUE | KEY_WOW64_64KEY: nothing that could write.
  EXPECT_THAT(opens, Each(HasSubstr(" access=0x101")));
  EXPECT_EQ(standin::OpenRegistryKeys(), 0);
  EXPECT_TRUE(restart.servicing);
  EXPECT_FALSE(restart.windowsUpdate);
}

TEST_F(Machine, EachRestartMarkIsReadWhereWindowsKeepsIt) {
  struct Case {
    const char* name;
    void (*script)();
    std::vector<std::string> codes;
  };
  const Case cases[] = {
      {"none", [] {}, {}},
      {"servicing", [] { standin::AddRegistryKey(kServicingRebootKey); }, {"component-based-servicing"}},
      {"update", [] { standin::AddRegistryKey(kUpdateRebootKey); }, {"windows-update"}},
      {"file renames",
       [] {
         standin::RegistryKeys()[kSessionManagerKey].push_back(
             {kFileRenamesValue, REG_MULTI_SZ, std::string("\\??\\C:\\a.tmp\0\0\0", 15)});
       },
       {"pending-file-renames"}},
      {"an empty rename list",
       [] {
         standin::RegistryKeys()[kSessionManagerKey].push_back(
             {kFileRenamesValue, REG_MULTI_SZ, std::string("\0\0", 2)});
       },
       {}},
      {"an empty rename list as wide NULs",
       [] {
         standin::RegistryKeys()[kSessionManagerKey].push_back(
             {kFileRenamesValue, REG_MULTI_SZ, std::string("\0\0\0\0", 4)});
       },
       {}},
      {"a parent key alone",
       [] { standin::AddRegistryKey(std::string(kServicingRebootKey) + "\\Child"); },
       {"component-based-servicing"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    standin::Reset();
    c.script();
    EXPECT_EQ(ReadRestartSignals().Codes(), c.codes);
  }
}

TEST_F(Machine, ALongListEntryIsReadWhole) {
  const std::string longId(3000, 'X');
  List("DenyDeviceIDs", {longId, "B"});
  EXPECT_EQ(ReadDevicePolicy().denyDeviceIds.entries, (std::vector<std::string>{longId, "B"}));
}

}  // namespace
}  // namespace varnoll::machine
