-- Corvadel in a headless Ardour session (ardour7-lua, "None (Dummy)" backend at 10x speed).
--
-- Track "Synth": Source -> Recorder "pre" -> Corvadel -> Source "marker" -> Recorder "post".
-- The source plays notes, controllers and pedal presses into the plug-in and logs what it played;
-- "pre" proves those events reached the plug-in's input; "marker" adds two notes behind the
-- plug-in so that "post" is known to hear MIDI there; everything else "post" hears while rolling
-- came out of the plug-in and must be exactly the chords of its grid, stepped by the presses.
-- No editor is ever opened: there is no user interface.
--
-- CORVADEL_FORMAT=vst2 (the default), vst3 or lv2: the plug-in's format; session_formats.lua says
--                       where Ardour keeps its state in each.
-- CORVADEL_MODE=play    creates the session, rolls, checks that a plug-in with no grid plays nothing,
--                       saves, checks that no state was stored for the plug-in and then writes the
--                       known three-chord chunk into the session, where Ardour keeps the format's state.
-- CORVADEL_MODE=reload  loads that session (Ardour hands the chunk to a new instance), rolls and
--                       checks the chords, saves, and compares the chunk Ardour stored with the
--                       known one. Run twice, the second run loads the session as Ardour saved it.
io.stdout:setvbuf ("line")

local here        = assert (os.getenv ("CORVADEL_TEST_DIR"), "CORVADEL_TEST_DIR not set")
local mode        = assert (os.getenv ("CORVADEL_MODE"), "CORVADEL_MODE not set")
local sdir        = assert (os.getenv ("CORVADEL_SESSION_DIR"), "CORVADEL_SESSION_DIR not set")
local plugin_name = "Corvadel"
local format_name = os.getenv ("CORVADEL_FORMAT") or "vst2"
local format      = assert (dofile (here .. "/session_formats.lua")[format_name], "unknown CORVADEL_FORMAT " .. format_name)
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
	local pi = ARDOUR.LuaAPI.new_plugin_info (format.lookup, ARDOUR.PluginType[format.type])
	assert (not pi:isnil (), format.type .. " '" .. format.lookup .. "' is not known to Ardour")
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
	local found, names, i, seen_instrument = { behind = 0 }, {}, 0, false
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
		if seen_instrument and (name == source_name or name == recorder_name) then found.behind = found.behind + 1 end
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

-- Exact sequences of (sample, status, data1, data2); on a difference both are printed whole, side
-- by side, the differing lines marked.
local function check_same_events (got, want, what)
	local lines, same = {}, true
	for i = 1, math.max (#got, #want) do
		local w, g = want[i] and event_text (want[i]) or "-", got[i] and event_text (got[i]) or "-"
		same = same and w == g
		lines[i] = string.format ("    %-18s %-18s%s", w, g, w == g and "" or "<- differs")
	end
	if not check (same, what) then
		print (string.format ("    %-18s %s", "expected", "recorded"))
		print (table.concat (lines, "\n"))
	end
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
-- pedal presses by the pedal rule (controller 64 on any channel with a value above 0, the first
-- at once, each later one only after a value of 0), more of them than the grid has columns.
local note_ons, note_offs, other_cc, press_at, armed = 0, 0, 0, {}, true
for _, e in ipairs (played) do
	local kind = e.status & 0xf0
	if kind == 0x90 and e.d2 > 0 then note_ons = note_ons + 1
	elseif kind == 0x80 or kind == 0x90 then note_offs = note_offs + 1
	elseif kind == 0xb0 and e.d1 == 64 then
		if e.d2 == 0 then armed = true elseif armed then press_at[#press_at + 1] = e.sample; armed = false end
	elseif kind == 0xb0 then other_cc = other_cc + 1 end
end
check (note_ons >= 2 and note_offs >= 2 and other_cc >= 2 and #press_at > #state.known_chords,
       string.format ("source sent %d note-ons, %d note-offs, %d other controllers, %d pedal presses",
                      note_ons, note_offs, other_cc, #press_at))

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

-- What must come out while rolling: at each press the note-offs of the sounding chord, then the
-- note-ons of the grid's next column, the first press playing the first column and the last
-- column wrapping to the first; channel 1, ascending notes, note-off velocity 0, note-on velocity
-- the stored one held within 1 to 127. With no grid, nothing. The marker's events join in at
-- their samples. Also returns the notes left sounding.
local function expected_while_rolling (chords, presses, marker_events)
	local list, sounding = {}, {}
	local function add (sample, status, note, velocity)
		list[#list + 1] = { sample = sample, status = status, d1 = note, d2 = velocity, order = #list }
	end
	for i, at in ipairs (chords and presses or {}) do
		for _, note in ipairs (sounding) do add (at, 0x80, note, 0) end
		sounding = {}
		local chord = chords[(i - 1) % #chords + 1]
		for note = 0, 127 do
			if chord[note] then
				add (at, 0x90, note, math.max (1, math.min (127, chord[note])))
				sounding[#sounding + 1] = note
			end
		end
	end
	for _, e in ipairs (marker_events) do add (e.sample, e.status, e.d1, e.d2) end
	table.sort (list, function (a, b) return a.sample < b.sample or (a.sample == b.sample and a.order < b.order) end)
	return list, sounding
end

-- At the stop Ardour ends, in each Lua processor, the notes that passed it and are still on: every
-- Lua processor behind the plug-in (the marker and the post recorder) adds a note-off of velocity
-- 64 on channel 1 for each note of the chord sounding then, at the stop sample, in no fixed order.
-- Anything else there came from the plug-in, which must send nothing when it has no press.
local function expected_at_stop (sounding, copies, at)
	local list = {}
	for _, note in ipairs (sounding) do
		for _ = 1, copies do list[#list + 1] = { sample = at, status = 0x80, d1 = note, d2 = 0x40 } end
	end
	return list
end

local function in_event_order (list)
	table.sort (list, function (a, b) return event_text (a) < event_text (b) end)
	return list
end

check (after_mapped > 0 and after_mapped == after_cycles,
       "post recorder had a MIDI buffer behind the plug-in in all " .. after_cycles .. " cycles")
local grid = mode == "reload" and state.known_chords or nil
local want_rolling, sounding = expected_while_rolling (grid, press_at, marked)
local got_rolling, got_stopped = {}, {}
for _, e in ipairs (after) do table.insert (e.kind == 1 and got_rolling or got_stopped, e) end
check_same_events (got_rolling, want_rolling,
	(grid and (#press_at .. " presses stepped the " .. #grid .. " kept chords with wrapping")
	      or ("with no grid " .. #press_at .. " presses played nothing"))
	.. "; besides the " .. #marked .. " marker events nothing came out while rolling, no input echoed")
check_same_events (in_event_order (got_stopped), in_event_order (expected_at_stop (sounding, p.behind, stopped_at)),
	#sounding == 0 and "nothing came out at the stop, no note was sounding"
	or ("at the stop only Ardour's note-offs (velocity 64) for the " .. #sounding .. " sounding notes, one from each of the "
	    .. p.behind .. " Lua processors behind the plug-in"))

---------------------------------------------------------------------------------------------------
Session:save_state ("", false, false, false, false, false)
close_session ()

local file = sdir .. "/" .. snapshot .. ".ardour"
local xml = state.read_file (file)
local found, bytes = format.stored (sdir, xml)
check (found, "the saved session has the plug-in's processor (" .. format.kind .. ", unique-id " .. format.unique_id .. ")")
local known = state.known_chunk ()

if mode == "play" then
	check (bytes == format.fresh, "a fresh instance with no editor and no restored state gave Ardour no grid"
	                              .. (bytes and (" (stored " .. #bytes .. " bytes)") or ""))
	if failures == 0 then
		state.write_file (file, format.with_state (sdir, xml, known))
		print ("wrote the known " .. #known .. "-byte chunk (3 chords) into the session (" .. format_name .. ")")
	end
else
	check (bytes ~= nil, "Ardour stored the plug-in's state after the reload")
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
