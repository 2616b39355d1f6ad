// Assembles converter services from the stand-in components.
#include "components/StandInServices.h"

#include "components/ErrorTextStandIn.h"
#include "components/VarFileStandIn.h"

namespace tabulex::components {

ConverterServices StandInServices(std::shared_ptr<UserInterface> ui,
                                  std::shared_ptr<SpreadsheetEngine> engine) {
  ConverterServices services;
  services.createVarFile = [] { return std::make_unique<VarFileStandIn>(); };
  services.createErrorText = [] { return std::make_unique<ErrorTextStandIn>(); };
  services.ui = std::move(ui);
  services.engine = engine ? std::move(engine) : std::make_shared<UnavailableEngine>();
  return services;
}

}  // namespace tabulex::components
