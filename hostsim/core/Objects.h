// Factories of the automation objects the simulator hands out. Each returns a
// new object whose one reference the caller owns.
#pragma once

#include <oaidl.h>

#include <memory>
#include <string>

#include "ComRef.h"
#include "core/Document.h"
#include "core/Session.h"

namespace hostsim {

// The IID of the application's event dispinterface (its default source).
extern const IID kApplicationEventsIid;

ComRef<IDispatch> newApplicationObject(std::shared_ptr<Session> session);
ComRef<IDispatch> newDocumentObject(std::shared_ptr<Session> session, std::shared_ptr<Document> document);
ComRef<IDispatch> newFeatureObject(std::shared_ptr<Session> session, std::shared_ptr<Document> document, int featureId);
ComRef<IDispatch> newSelectionSetObject(std::shared_ptr<Session> session, std::shared_ptr<Document> document);
ComRef<IDispatch> newConfigurationObject(std::shared_ptr<Session> session, std::shared_ptr<Document> document);
// A component of the tree of the open assembly owner (owner->tree for its
// root). It fails every call once owner is closed.
ComRef<IDispatch> newComponentObject(std::shared_ptr<Session> session, std::shared_ptr<Document> owner,
                                     std::shared_ptr<const Component> node);
ComRef<IDispatch> newMenuFrameObject(std::shared_ptr<Session> session);

}  // namespace hostsim
