// Factories of the automation objects the simulator hands out. Each returns a
// new object holding one reference, which belongs to the caller.
#pragma once

#include <oaidl.h>

#include <memory>
#include <string>

#include "core/Document.h"
#include "core/Session.h"

namespace hostsim {

// The IID of the application's event dispinterface (its default source).
extern const IID kApplicationEventsIid;

IDispatch* newApplicationObject(std::shared_ptr<Session> session);
IDispatch* newDocumentObject(std::shared_ptr<Session> session, std::shared_ptr<Document> document);
IDispatch* newFeatureObject(std::shared_ptr<Session> session, std::shared_ptr<Document> document, int featureId);
IDispatch* newSelectionSetObject(std::shared_ptr<Session> session, std::shared_ptr<Document> document);
IDispatch* newConfigurationObject(std::shared_ptr<Session> session, std::shared_ptr<Document> document);
// A component of the tree of the open assembly owner (owner->tree for its
// root). It fails every call once owner is closed.
IDispatch* newComponentObject(std::shared_ptr<Session> session, std::shared_ptr<Document> owner,
                              std::shared_ptr<const Component> node);
IDispatch* newMenuFrameObject(std::shared_ptr<Session> session);

}  // namespace hostsim
