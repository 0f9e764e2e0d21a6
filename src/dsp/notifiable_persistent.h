#pragma once

#include <functional>

namespace vb {

class TNotifiablePersistent;

// Change notification: called with the object that changed.
using TPersistentNotifyEvent = std::function<void(TNotifiablePersistent* Sender)>;

// Base of every DSP object: settings that can be copied to another object of
// a related class (Assign/AssignTo) and a change event that can be held back
// while several settings are changed together. Used by one thread at a time.
class TNotifiablePersistent {
 public:
  TNotifiablePersistent() = default;
  TNotifiablePersistent(const TNotifiablePersistent&) = delete;
  TNotifiablePersistent& operator=(const TNotifiablePersistent&) = delete;
  virtual ~TNotifiablePersistent() = default;

  virtual const char* ClassName() const;

  // Takes over the settings of Source by asking Source to copy itself here.
  void Assign(const TNotifiablePersistent& Source) { Source.AssignTo(*this); }
  // Copies the update depth and the change event. Every class of the
  // hierarchy can take settings from every other one: each level copies what
  // both objects have in common, so there is no refusal.
  virtual void AssignTo(TNotifiablePersistent& Dest) const;

  // Fires OnChange unless an update is open.
  virtual void Changed();
  virtual void BeginUpdate();
  // Closes one BeginUpdate; does not fire OnChange by itself.
  virtual void EndUpdate();

  int UpdateCount() const noexcept { return FUpdateCount; }
  const TPersistentNotifyEvent& OnChange() const noexcept { return FOnChange; }
  void SetOnChange(TPersistentNotifyEvent Handler) { FOnChange = std::move(Handler); }

 protected:
  int FUpdateCount = 0;
  TPersistentNotifyEvent FOnChange;
};

// Marks the DSP branch of the hierarchy; adds nothing.
class TDspPersistent : public TNotifiablePersistent {
 public:
  const char* ClassName() const override;
};

// A DSP object that works at a sample rate (Hz, 44100 after creation).
class TDspSampleRatePersistent : public TDspPersistent {
 public:
  TDspSampleRatePersistent() = default;
  const char* ClassName() const override;
  void AssignTo(TNotifiablePersistent& Dest) const override;

  double SampleRate() const noexcept { return FSampleRate; }
  // Stores |Value|; 0 raises EDspError "Invalid Samplerate!" and keeps the
  // old rate. An unchanged rate does nothing.
  void SetSampleRate(double Value);

 protected:
  virtual void SampleRateChanged();

  double FSampleRate = 44100.0;
};

}  // namespace vb
