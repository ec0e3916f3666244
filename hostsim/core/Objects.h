// Factories of the automation objects the simulator hands out. Each returns a
// new object holding one reference, which belongs to the caller.
#pragma once

#include <oaidl.h>

#include <memory>
#include <string>

#include "Document.h"
#include "Session.h"

namespace hostsim {

// The IID of the application's event dispinterface (its default source).
extern const IID kApplicationEventsIid;

IDispatch* newApplicationObject(std::shared_ptr<Session> session);
IDispatch* newDocumentObject(std::shared_ptr<Session> session, std::shared_ptr<Document> document);
IDispatch* newFeatureObject(std::shared_ptr<Session> session, std::shared_ptr<Document> document, int featureId);
IDispatch* newSelectionSetObject(std::shared_ptr<Session> session, std::shared_ptr<Document> document);
IDispatch* newConfigurationObject(std::shared_ptr<Session> session, std::shared_ptr<Document> document);
// A component standing for the file at path; an open assembly document, when
// given, supplies the children instead of the file.
IDispatch* newComponentObject(std::shared_ptr<Session> session, const std::wstring& path,
                              std::shared_ptr<Document> openAssembly);
IDispatch* newMenuFrameObject(std::shared_ptr<Session> session);

}  // namespace hostsim
