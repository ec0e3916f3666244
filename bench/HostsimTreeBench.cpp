// How long the host simulator takes to write, open and walk big assembly
// trees. For each size it writes a tree (parts a fifth of the instances,
// four levels, fan-out 10, tiny parts unless told), then opens the top
// through OpenDocument and walks it as a client does: ComponentChildren on
// every component, ComponentPath on every child. The second walk reads every
// sub-assembly from the simulator's cache. The call log is off for the walks;
// the last column walks once more with the log on.
//
// Usage: hostsim_tree_bench [SHAPE [INSTANCES...]]
// (default: tiny at 1000, 10000 and 100000 instances, then detailed at 1000)
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "core/Simulator.h"
#include "support/TestFiles.h"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

VARIANT call(IDispatch* object, DISPID id, std::vector<VARIANT> argsLastFirst = {}) {
  DISPPARAMS params{argsLastFirst.empty() ? nullptr : argsLastFirst.data(), nullptr,
                    static_cast<UINT>(argsLastFirst.size()), 0};
  VARIANT result;
  VariantInit(&result);
  object->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr);
  return result;
}

// Counts the components below this one.
long long walk(IDispatch* component) {
  VARIANT children = call(component, 1);  // ComponentChildren
  long long count = 0;
  if (children.vt == (VT_ARRAY | VT_DISPATCH)) {
    LONG high = -1;
    SafeArrayGetUBound(children.parray, 1, &high);
    for (LONG i = 0; i <= high; ++i) {
      ComRef<IDispatch> child;
      SafeArrayGetElement(children.parray, &i, child.Put());
      VARIANT path = call(child.Get(), 34);  // ComponentPath
      VariantClear(&path);
      count += 1 + walk(child.Get());
    }
  }
  VariantClear(&children);
  return count;
}

long long walkActiveTree(hostsim::Simulator& sim) {
  const ComRef<IDispatch> root = sim.componentObject({});
  return root ? walk(root.Get()) : -1;
}

// One table: every size with that shape.
void run(const std::wstring& shape, const std::vector<long long>& sizes) {
  std::printf("shape %ls, parts = instances / 5, depth 4, fan-out 10; seconds\n", shape.c_str());
  std::printf("%10s %10s %8s %8s %8s %8s %8s %10s\n", "instances", "components", "files", "write", "open", "walk",
              "again", "walk+log");
  for (long long instances : sizes) {
    const testsupport::TempFolder scratch;  // removed, with the tree, at the end of the round
    const std::wstring& folder = scratch.path();
    hostsim::TreeRecipe recipe;
    recipe.instances = instances;
    recipe.uniqueParts = instances / 5 > 0 ? instances / 5 : 1;
    recipe.shape = shape;
    auto start = Clock::now();
    const hostsim::TreeSummary tree = hostsim::writeAssemblyTree(folder, recipe);
    const double written = secondsSince(start);
    if (tree.top.empty()) {
      std::printf("%10lld cannot write the tree\n", instances);
      continue;
    }
    double opened = 0, walked = 0, again = 0, logged = 0;
    long long components = 0;
    {
      hostsim::Simulator sim;
      sim.setCallLogLimit(0);
      start = Clock::now();
      VARIANT args[2];  // last first: kind 2, the path
      VariantInit(&args[0]);
      args[0].vt = VT_I4;
      args[0].lVal = 2;
      VariantInit(&args[1]);
      args[1].vt = VT_BSTR;
      args[1].bstrVal = SysAllocString(tree.top.c_str());
      VARIANT document = call(sim.application(), 2, {args[0], args[1]});  // OpenDocument
      opened = secondsSince(start);
      VariantClear(&args[1]);
      VariantClear(&document);
      start = Clock::now();
      components = walkActiveTree(sim);
      walked = secondsSince(start);
      start = Clock::now();
      walkActiveTree(sim);
      again = secondsSince(start);
      sim.setCallLogLimit(hostsim::Simulator::kUnlimitedCallLog);
      start = Clock::now();
      walkActiveTree(sim);
      logged = secondsSince(start);
    }
    std::printf("%10lld %10lld %8lld %8.2f %8.3f %8.2f %8.2f %10.2f\n", tree.partInstances, components,
                tree.partFiles + tree.assemblyFiles, written, opened, walked, again, logged);
    if (components != tree.components) std::printf("  walked %lld components, expected %lld\n", components, tree.components);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<long long> sizes;
  for (int i = 2; i < argc; ++i) sizes.push_back(std::wcstoll(argv[i], nullptr, 10));
  if (argc > 1) {
    run(argv[1], sizes.empty() ? std::vector<long long>{1000} : sizes);
  } else {
    run(L"tiny", {1000, 10000, 100000});
    run(L"detailed", {1000});
  }
  return 0;
}

