#include "activity/TolvaneWidgetExtensionBundle.h"
#include "platform/widgetkit/WidgetBundle.h"

// The extension's entry. It runs no code of its own before this: the
// platform (WidgetBundle::main) takes over for the bundle, serves its
// presentations and ends the process itself.
int main(int argc, char** argv) {
  WidgetKit::WidgetBundle::main<tolvane::TolvaneWidgetExtensionBundle>(argc, argv);
  return 0;
}
