#include "processor/drive_block.h"

#include <memory>

#include "cpu/function_binding.h"
#include "processor/drive_block_kernel.h"

namespace vb {

void ProcessDriveBlock32Sse2(TDriveBlockJob<float>& Job) { drive_block::Run<float, drive_block::TPipeline>(Job); }
void ProcessDriveBlock64Sse2(TDriveBlockJob<double>& Job) { drive_block::Run<double, drive_block::TPipeline>(Job); }

constinit TDriveBlock32 ProcessDriveBlock32 = &ProcessDriveBlock32Sse2;
constinit TDriveBlock64 ProcessDriveBlock64 = &ProcessDriveBlock64Sse2;

namespace {

constinit std::unique_ptr<TFunctionBindingList> GDriveBlockBindings;

template <FunctionPointer F>
void Bind(F* Variable, F Sse2, F Avx2) {
  auto* binding = new TFunctionBinding(Variable, Sse2);  // deleted by BindingsShutDown
  GDriveBlockBindings->AddBinding(binding);
  binding->Add(Sse2, TProcessorFeatures{});  // the x86-64 baseline
  binding->Add(Avx2, TProcessorFeatures{TProcessorFeature::pfAVX2});
}

}  // namespace

void DriveBlockStartUp() {
  if (GDriveBlockBindings) return;
  GDriveBlockBindings = std::make_unique<TFunctionBindingList>();
  Bind(&ProcessDriveBlock32, &ProcessDriveBlock32Sse2, &ProcessDriveBlock32Avx2);
  Bind(&ProcessDriveBlock64, &ProcessDriveBlock64Sse2, &ProcessDriveBlock64Avx2);
  GDriveBlockBindings->RebindProcessorSpecific();
}

TFunctionBindingList* DriveBlockFunctionBindings() { return GDriveBlockBindings.get(); }

void DriveBlockShutDown() { GDriveBlockBindings.reset(); }

}  // namespace vb
