#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "capture/colFields.h"
#include "settings/clsSettings.h"

namespace vantrel {

// The procedure type that makes a capture index a document; any other searches.
constexpr std::int16_t kIndexProcedure = 2;

// The program-wide link between a capture and the imaging application: owns
// the settings and the field collection, grabs into field 1 and hands field
// 1 to the script runner.
class clsAppLink {
  public:
    // Created on first access.
    clsSettings& oSettings();
    void oSettings(std::shared_ptr<clsSettings> settings) { settings_ = std::move(settings); }

    // Stored as 16 bits: a value outside -32768..32767 throws Error and
    // leaves the stored value unchanged.
    void ProcedureType(std::int32_t value);
    std::int32_t ProcedureType() const { return procedureType_; }

    void AppType(const std::string& value) { appType_ = value; }
    std::string AppType() const { return appType_; }

    // Field 1's value checked, then the runner started; failures of the launch
    // end it quietly. A press abandoned meanwhile ends it before its next step
    // and throws PressAbandoned.
    void RunSearch();
    void RunIndex();
    // Fills field 1's value from the source window. Throws Error when there
    // is no field 1.
    void GrabData();

    // Created empty on first read.
    std::shared_ptr<vantrel::colFields> colFields();
    void colFields(std::shared_ptr<vantrel::colFields> fields) { fields_ = std::move(fields); }

  private:
    // False also when there is no field 1 to read.
    bool Field1HasValue();
    void LaunchSearch();
    void LaunchIndex();
    std::string RemoveStaleScript();
    void RunLaunch(void (clsAppLink::*launch)(), const char* what);

    std::shared_ptr<clsSettings> settings_;
    std::shared_ptr<vantrel::colFields> fields_;
    std::int16_t procedureType_ = 0;
    std::string appType_;
};

// The one controller, created by its first user.
clsAppLink& AppLink();
// Ends the controller so the next AppLink() makes a new one (tests only).
void ResetAppLink();

}  // namespace vantrel
