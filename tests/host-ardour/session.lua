-- Corvadel in a headless Ardour session (ardour7-lua, "None (Dummy)" backend at 10x speed).
--
-- Track "Synth": Source -> Recorder "pre" -> Corvadel -> Source "marker" -> Recorder "post".
-- The source plays notes, controllers and pedal presses into the plug-in and logs what it played;
-- "pre" proves those events reached the plug-in's input; "marker" adds two notes behind the
-- plug-in so that "post" is known to hear MIDI there; everything else "post" hears came out of
-- the plug-in, and with no editor open that must be nothing.
--
-- CORVADEL_MODE=play    creates the session, rolls, checks, saves, checks that no state was stored
--                       for the plug-in and then writes the known three-chord chunk into the file.
-- CORVADEL_MODE=reload  loads that session (Ardour hands the chunk to a new instance), rolls and
--                       checks again, saves, and compares the chunk Ardour stored with the known one.
io.stdout:setvbuf ("line")

local here        = assert (os.getenv ("CORVADEL_TEST_DIR"), "CORVADEL_TEST_DIR not set")
local mode        = assert (os.getenv ("CORVADEL_MODE"), "CORVADEL_MODE not set")
local sdir        = assert (os.getenv ("CORVADEL_SESSION_DIR"), "CORVADEL_SESSION_DIR not set")
local plugin_name = "Corvadel"
local unique_id   = "1145521460"
local snapshot    = "corvadel"
local rate        = 48000
local roll_until  = math.floor (1.30 * rate) -- after the source's last event at 1.10 s
local source_name = "Corvadel Test MIDI Source"
local recorder_name = "Corvadel Test MIDI Recorder"

local state = dofile (here .. "/session_state.lua")

local failures = 0
local function check (ok, what)
	print ((ok and "ok    " or "FAIL  ") .. what)
	if not ok then failures = failures + 1 end
	return ok
end

local function event_text (e)
	local s = string.format ("@%d %02x", e.sample, e.status & 0xff)
	if e.d1 >= 0 then s = s .. string.format (" %02x", e.d1 & 0xff) end
	if e.d2 >= 0 then s = s .. string.format (" %02x", e.d2 & 0xff) end
	return s
end

---------------------------------------------------------------------------------------------------
local be = AudioEngine:set_backend ("None (Dummy)", "", "")
assert (not be:isnil (), "no Dummy backend")
be:set_driver ("10x Speed")
be:set_device_name ("Silence")
be:set_sample_rate (rate)
be:set_buffer_size (256)
assert (AudioEngine:start (false) == 0, "engine start failed")

local tr
if mode == "play" then
	assert (create_session (sdir, snapshot, rate), "create_session failed")
	local pi = ARDOUR.LuaAPI.new_plugin_info (plugin_name, ARDOUR.PluginType.LXVST)
	assert (not pi:isnil (), "LXVST '" .. plugin_name .. "' is not in Ardour's scan cache")
	print ("plugin-info:", pi.name, pi.creator, pi.unique_id, pi.category)
	local tl = Session:new_midi_track (ARDOUR.ChanCount (ARDOUR.DataType ("midi"), 1),
	                                   ARDOUR.ChanCount (ARDOUR.DataType ("audio"), 2),
	                                   false, pi, nil, nil, 1, "Synth",
	                                   ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true, false)
	tr = tl:front ()
	assert (tr and not tr:isnil (), "new_midi_track failed")
elseif mode == "reload" then
	assert (load_session (sdir, snapshot), "load_session failed")
	local r = Session:route_by_name ("Synth")
	assert (not r:isnil (), "track Synth missing after reload")
	tr = r:to_track ()
else
	error ("unknown CORVADEL_MODE " .. mode)
end

-- Processors by role, found from the chain itself so that the reloaded session is checked as
-- Ardour rebuilt it, not as this script meant to build it.
local function roles ()
	local found, names, i, seen_instrument = {}, {}, 0, false
	while true do
		local p = tr:nth_processor (i)
		if p:isnil () then break end
		local name = p:display_name ()
		names[#names + 1] = name
		if name == plugin_name then
			found.instrument = p; seen_instrument = true
		elseif name == source_name then
			found[seen_instrument and "marker" or "source"] = p
		elseif name == recorder_name then
			found[seen_instrument and "post" or "pre"] = p
		end
		i = i + 1
	end
	return found, table.concat (names, " | ")
end

if mode == "play" then
	local function add (name, index)
		local p = ARDOUR.LuaAPI.new_luaproc (Session, name)
		assert (not p:isnil (), name .. " not found (copy the DSP scripts into ~/.config/ardour7/scripts)")
		assert (tr:add_processor_by_index (p, index, nil, true) == 0, "could not add " .. name)
		return p
	end
	-- add_processor_by_index counts only the processors a user sees: the Lua processors go first.
	add (source_name, 0)
	add (recorder_name, 1)
	local marker = add (source_name, 3)
	ARDOUR.LuaAPI.set_processor_param (marker, 0, 1)
	add (recorder_name, 4)
end

local p, chain = roles ()
print ("chain: " .. chain)
assert (p.instrument and p.source and p.pre and p.marker and p.post,
        "chain lacks a processor: need source, pre, " .. plugin_name .. ", marker, post in that order")
assert (not tr:the_instrument ():isnil () and tr:the_instrument ():display_name () == plugin_name,
        plugin_name .. " is not the track's instrument")
local ins = p.instrument:to_insert ()
print ("instrument:", ins:display_name (), "in:", ins:natural_input_streams ():n_midi (), "midi",
       ins:natural_input_streams ():n_audio (), "audio; out:", ins:natural_output_streams ():n_midi (), "midi",
       ins:natural_output_streams ():n_audio (), "audio")

---------------------------------------------------------------------------------------------------
Session:goto_start ()
Session:request_roll (ARDOUR.TransportRequestSource.TRS_UI)
local waited = 0
while Session:transport_sample () < roll_until and waited < 400 do sleep (0.05); waited = waited + 1 end
assert (Session:transport_sample () >= roll_until, "transport did not roll")
Session:request_stop (false, false, ARDOUR.TransportRequestSource.TRS_UI)
waited = 0
while Session:transport_rolling () and waited < 200 do sleep (0.05); waited = waited + 1 end
assert (not Session:transport_rolling (), "transport did not stop")
local stopped_at = Session:transport_sample ()
-- The host's stop messages go into the chain in the cycles after the stop.
sleep (0.5)
print ("stopped at sample", stopped_at)

local function read_log (proc)
	local shm = proc:to_insert ():plugin (0):to_luaproc ():shmem ()
	local n = shm:atomic_get_int (0)
	local a = shm:to_int (3):array ()
	local list = {}
	for i = 0, n - 1 do
		list[#list + 1] = { kind = a[i * 5 + 1], sample = a[i * 5 + 2], status = a[i * 5 + 3],
		                    d1 = a[i * 5 + 4], d2 = a[i * 5 + 5] }
	end
	return list, shm:atomic_get_int (1), shm:atomic_get_int (2)
end

local function print_log (label, list)
	print (label .. " (" .. #list .. " events):")
	for _, e in ipairs (list) do print ("    " .. event_text (e) .. "  [" .. e.kind .. "]") end
end

local played, source_length, source_pattern = read_log (p.source)
local marked, marker_length, marker_pattern = read_log (p.marker)
local before, before_mapped, before_cycles = read_log (p.pre)
local after, after_mapped, after_cycles = read_log (p.post)
print_log ("source played", played)
print_log ("marker played", marked)
print_log ("pre recorded (kind 1 rolling, 2 stopped)", before)
print_log ("post recorded (kind 1 rolling, 2 stopped)", after)

-- Each scheduled event exactly once: the generator really ran, over the whole schedule.
local function played_whole_schedule (list, length, pattern, want_pattern, label)
	check (pattern == want_pattern, label .. " runs pattern " .. want_pattern .. " (has " .. pattern .. ")")
	local count = {}
	for _, e in ipairs (list) do count[e.kind] = (count[e.kind] or 0) + 1 end
	local all = length > 0 and #list == length
	for i = 1, length do all = all and count[i] == 1 end
	check (all, label .. " played each of its " .. length .. " scheduled events once (logged " .. #list .. ")")
end
played_whole_schedule (played, source_length, source_pattern, 0, "source")
played_whole_schedule (marked, marker_length, marker_pattern, 1, "marker")

-- What the source played is what this test claims to send: notes, other controllers, and
-- pedal presses that each must trigger by the pedal rule (value > 0 after a release).
local note_ons, note_offs, other_cc, presses, armed = 0, 0, 0, 0, true
for _, e in ipairs (played) do
	local kind = e.status & 0xf0
	if kind == 0x90 and e.d2 > 0 then note_ons = note_ons + 1
	elseif kind == 0x80 or kind == 0x90 then note_offs = note_offs + 1
	elseif kind == 0xb0 and e.d1 == 64 then
		if e.d2 == 0 then armed = true elseif armed then presses = presses + 1; armed = false end
	elseif kind == 0xb0 then other_cc = other_cc + 1 end
end
check (note_ons >= 2 and note_offs >= 2 and other_cc >= 2 and presses >= 3,
       string.format ("source sent %d note-ons, %d note-offs, %d other controllers, %d pedal presses",
                      note_ons, note_offs, other_cc, presses))

-- The plug-in's input got exactly what the source played, at the same sample positions.
local rolling_before = {}
for _, e in ipairs (before) do if e.kind == 1 then rolling_before[#rolling_before + 1] = e end end
local same = #rolling_before == #played
for i = 1, math.min (#played, #rolling_before) do
	local a, b = played[i], rolling_before[i]
	if a.sample ~= b.sample or a.status ~= b.status or a.d1 ~= b.d1 or a.d2 ~= b.d2 then
		same = false
		print ("  first difference: played " .. event_text (a) .. ", reached the plug-in " .. event_text (b))
		break
	end
end
check (same, "all " .. #played .. " played events reached the plug-in's input unchanged")

-- Behind the plug-in: only the marker. Anything else is the plug-in passing its input through
-- or sending events of its own.
check (after_mapped > 0 and after_mapped == after_cycles,
       "post recorder had a MIDI buffer behind the plug-in in all " .. after_cycles .. " cycles")
local expected_after, unexpected = {}, {}
for _, e in ipairs (marked) do expected_after[#expected_after + 1] = event_text (e) end
local seen_marker = 0
for _, e in ipairs (after) do
	local t = event_text (e)
	if e.kind == 1 and t == expected_after[seen_marker + 1] then
		seen_marker = seen_marker + 1
	else
		unexpected[#unexpected + 1] = t .. (e.kind == 1 and " (rolling)" or " (stopped)")
	end
end
check (#marked > 0 and seen_marker == #marked, "post recorder heard the " .. #marked .. " marker events behind the plug-in")
check (#unexpected == 0, "no MIDI came out of the plug-in across " .. presses
                         .. " pedal presses, the notes, the controllers and the transport stop"
                         .. (#unexpected > 0 and (": " .. table.concat (unexpected, ", ")) or ""))

---------------------------------------------------------------------------------------------------
Session:save_state ("", false, false, false, false, false)
close_session ()

local file = sdir .. "/" .. snapshot .. ".ardour"
local xml = state.read_file (file)
local found, stored = state.stored_chunk (xml, unique_id)
check (found, "the saved session has the plug-in's processor (lxvst, unique-id " .. unique_id .. ")")
local known = state.known_chunk ()

if mode == "play" then
	check (stored == nil, "a fresh instance with no editor and no restored state gave Ardour no chunk"
	                      .. (stored and (" (stored " .. #stored .. " base64 characters)") or ""))
	if failures == 0 then
		state.write_file (file, state.with_chunk (xml, unique_id, state.base64_encode (known)))
		print ("wrote the known " .. #known .. "-byte chunk (3 chords) into " .. file)
	end
else
	local bytes = stored and state.base64_decode (stored)
	check (bytes ~= nil, "Ardour stored a base64 chunk for the plug-in after the reload")
	if bytes then
		local at = state.first_difference (bytes, known)
		check (at == nil, "the stored chunk is byte for byte the known one ("
		                  .. #bytes .. " bytes, want " .. #known .. ")"
		                  .. (at and string.format ("; first difference at byte %d: %s, want %s", at - 1,
		                          at <= #bytes and string.format ("%02x", bytes:byte (at)) or "end",
		                          at <= #known and string.format ("%02x", known:byte (at)) or "end") or ""))
	end
end

if failures > 0 then error (failures .. " check(s) failed in mode " .. mode) end
print ("PASS " .. mode)
