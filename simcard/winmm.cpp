// winmm.dll: the sound card's mixer stand-in, for the viewer's tests. Wine's own mixer keeps
// values per process and reads nothing back from its only source line, so a test cannot see
// what the viewer writes there; this one logs every write. It exports the mixer functions the
// viewer links against and is loaded only where a test copies it beside the viewer and asks
// for it (WINEDLLOVERRIDES winmm=n).
//
// Device 0 has two lines, each with a volume control (0 to 65535, 32 steps, so 2047 a step)
// and a mute control: the speakers destination (component type 4) and line in (0x1002).
#define _WINMM_  // this is winmm: its functions are defined here, not imported
#include <windows.h>

#include <mmsystem.h>

#include <string>

#include "simcard/sim_env.h"
#include "simcard/text_values.h"

namespace {

struct Line {
  DWORD componentType;
  DWORD volume;
  DWORD muted;
};

// SIMCARD_MIXER: a comma list of volume=N (both volume controls at start; default 32752,
// level 16) and refuse-writes (every write answered with an error, nothing changed).
struct Mixer {
  Line lines[2] = {{MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, 32752, 0}, {MIXERLINE_COMPONENTTYPE_SRC_LINE, 32752, 0}};
  bool refuseWrites = false;
  int openCount = 0;
};

Mixer mixer;
const HMIXER kHandle = reinterpret_cast<HMIXER>(0x4D58);  // the one device's handle

constexpr DWORD kVolumeMaximum = 65535, kVolumeSteps = 32;

void configure() {
  auto text = simcard::envText("SIMCARD_MIXER");
  if (!text) return;
  for (std::string_view item : simcard::splitList(*text)) {
    if (item == "refuse-writes") mixer.refuseWrites = true;
    if (item.substr(0, 7) == "volume=")
      if (auto v = simcard::parseDecimal(item.substr(7))) mixer.lines[0].volume = mixer.lines[1].volume = *v;
  }
}

// Control identifiers: 1 + 2 * line for volume, 2 + 2 * line for mute.
DWORD volumeId(int line) { return 1 + 2 * line; }
DWORD muteId(int line) { return 2 + 2 * line; }

int lineOfComponent(DWORD componentType) {
  for (int i = 0; i < 2; ++i)
    if (mixer.lines[i].componentType == componentType) return i;
  return -1;
}

// The value a control identifier names, or null.
DWORD* controlValue(DWORD controlId) {
  if (controlId < 1 || controlId > 4) return nullptr;
  Line& line = mixer.lines[(controlId - 1) / 2];
  return controlId % 2 ? &line.volume : &line.muted;
}

std::string describe(DWORD controlId, DWORD value) {
  const Line& line = mixer.lines[(controlId - 1) / 2];
  char text[64];
  wsprintfA(text, "%lx %s %lu", line.componentType, controlId % 2 ? "volume" : "mute", value);
  return text;
}

bool ours(HMIXEROBJ object) { return reinterpret_cast<HMIXER>(object) == kHandle && mixer.openCount > 0; }

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    DisableThreadLibraryCalls(instance);
    configure();
  }
  return TRUE;
}

extern "C" UINT WINAPI mixerGetNumDevs() { return 1; }

extern "C" MMRESULT WINAPI mixerOpen(LPHMIXER handle, UINT device, DWORD_PTR, DWORD_PTR, DWORD) {
  if (device != 0 || !handle) return MMSYSERR_BADDEVICEID;
  *handle = kHandle;
  ++mixer.openCount;
  simcard::appendLog("mixer.log", "open");
  return MMSYSERR_NOERROR;
}

extern "C" MMRESULT WINAPI mixerClose(HMIXER handle) {
  if (handle != kHandle || mixer.openCount == 0) return MMSYSERR_INVALHANDLE;
  --mixer.openCount;
  simcard::appendLog("mixer.log", "close");
  return MMSYSERR_NOERROR;
}

extern "C" MMRESULT WINAPI mixerGetLineInfoA(HMIXEROBJ object, LPMIXERLINEA line, DWORD flags) {
  if (!ours(object)) return MMSYSERR_INVALHANDLE;
  if ((flags & MIXER_GETLINEINFOF_QUERYMASK) != MIXER_GETLINEINFOF_COMPONENTTYPE) return MMSYSERR_NOTSUPPORTED;
  int i = lineOfComponent(line->dwComponentType);
  if (i < 0) return MIXERR_INVALLINE;
  line->dwLineID = static_cast<DWORD>(i);
  line->cControls = 2;
  return MMSYSERR_NOERROR;
}

extern "C" MMRESULT WINAPI mixerGetLineControlsA(HMIXEROBJ object, LPMIXERLINECONTROLSA controls, DWORD flags) {
  if (!ours(object)) return MMSYSERR_INVALHANDLE;
  if ((flags & MIXER_GETLINECONTROLSF_QUERYMASK) != MIXER_GETLINECONTROLSF_ONEBYTYPE || controls->dwLineID > 1 ||
      !controls->pamxctrl)
    return MMSYSERR_INVALPARAM;
  const int line = static_cast<int>(controls->dwLineID);
  MIXERCONTROLA& c = *controls->pamxctrl;
  c = MIXERCONTROLA{};
  c.cbStruct = sizeof c;
  c.dwControlType = controls->dwControlType;
  if (controls->dwControlType == MIXERCONTROL_CONTROLTYPE_VOLUME) {
    c.dwControlID = volumeId(line);
    c.Bounds.dwMaximum = kVolumeMaximum;
    c.Metrics.cSteps = kVolumeSteps;
  } else if (controls->dwControlType == MIXERCONTROL_CONTROLTYPE_MUTE) {
    c.dwControlID = muteId(line);
    c.Bounds.dwMaximum = 1;
  } else {
    return MIXERR_INVALCONTROL;
  }
  return MMSYSERR_NOERROR;
}

extern "C" MMRESULT WINAPI mixerGetControlDetailsA(HMIXEROBJ object, LPMIXERCONTROLDETAILS details, DWORD) {
  if (!ours(object)) return MMSYSERR_INVALHANDLE;
  DWORD* value = controlValue(details->dwControlID);
  if (!value || details->cbDetails != sizeof(DWORD) || !details->paDetails) return MIXERR_INVALCONTROL;
  *static_cast<DWORD*>(details->paDetails) = *value;
  return MMSYSERR_NOERROR;
}

extern "C" MMRESULT WINAPI mixerSetControlDetails(HMIXEROBJ object, LPMIXERCONTROLDETAILS details, DWORD) {
  if (!ours(object)) return MMSYSERR_INVALHANDLE;
  DWORD* value = controlValue(details->dwControlID);
  if (!value || details->cbDetails != sizeof(DWORD) || !details->paDetails) return MIXERR_INVALCONTROL;
  const DWORD wanted = *static_cast<const DWORD*>(details->paDetails);
  if (mixer.refuseWrites) {
    simcard::appendLog("mixer.log", "refuse " + describe(details->dwControlID, wanted));
    return MMSYSERR_ERROR;
  }
  *value = wanted;
  simcard::appendLog("mixer.log", "set " + describe(details->dwControlID, wanted));
  return MMSYSERR_NOERROR;
}
