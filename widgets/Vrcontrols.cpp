#include "widgets/Vrcontrols.h"

TVrComponent::TVrComponent(QObject* owner) : QObject(owner) {}

void TVrComponent::Loaded() { loading_ = false; }
