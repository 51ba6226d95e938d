// What the probe server and its tests agree on.
#pragma once

#define PROBE_PROGID "QuiFrameworkProbe.Probe.1"
#define PROBE_PLAIN_PROGID "QuiFrameworkProbe.ProbePlain.1"
#define PROBE_FAILURE ((HRESULT)0x80040321L)
#define PROBE_QUIET_FAILURE ((HRESULT)0x80040322L)

#define DISPID_PROBE_FAIL 1
#define DISPID_PROBE_FAILQUIETLY 2
#define DISPID_PROBE_APPEND 3
#define DISPID_PROBE_ENABLED 4
#define DISPID_PROBE_ECHO 5
#define DISPID_PROBE_RECORDTYPE 6
