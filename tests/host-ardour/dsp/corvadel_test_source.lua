ardour {
	["type"]    = "dsp",
	name        = "Corvadel Test MIDI Source",
	category    = "Utility",
	license     = "MIT",
	author      = "Corvadel tests",
	description = [[Plays a fixed MIDI schedule while the transport rolls, merged with the MIDI it receives, and keeps a log of every event it played in shared memory, so that a test can tell silence downstream from an idle source.]]
}

-- Pattern 0, placed before the plug-in: what a player sends it. Notes and controllers on several
-- channels, and sustain-pedal presses in the forms a real pedal produces: a plain 127/0, a pedal
-- that sends more non-zero values while going down, a half-pedal value of 1, presses on channels
-- other than 1, and a press in the same block as another controller.
-- Pattern 1, placed after the plug-in: a marker that proves the recorder behind it hears MIDI.
-- Entries: { seconds, status, data1, data2 (nil for two-byte messages) }.
local patterns = {
	[0] = {
		{ 0.10, 0x90, 60, 100 }, { 0.10, 0x91, 64, 90 },
		{ 0.15, 0xB0, 1, 64 },
		{ 0.20, 0xB0, 64, 127 },                          -- press
		{ 0.25, 0xB2, 7, 100 },
		{ 0.30, 0x80, 60, 0 },
		{ 0.35, 0xE0, 0, 80 },
		{ 0.40, 0xB0, 64, 0 },                            -- release
		{ 0.45, 0x91, 64, 0 },                            -- note-on with velocity 0
		{ 0.50, 0xB4, 64, 100 },                          -- press, channel 5
		{ 0.55, 0xB4, 64, 120 },                          -- still down
		{ 0.60, 0xC0, 5 },
		{ 0.65, 0xB4, 64, 0 },                            -- release
		{ 0.70, 0xB0, 64, 1 }, { 0.70, 0xB0, 66, 127 },   -- half-pedal press, sostenuto with it
		{ 0.72, 0xB0, 64, 40 },                           -- still down
		{ 0.75, 0xD0, 40 },
		{ 0.80, 0xB0, 64, 0 },                            -- release
		{ 0.85, 0xBF, 64, 127 },                          -- press, channel 16
		{ 0.90, 0x9F, 36, 127 },
		{ 0.95, 0xBF, 11, 90 },
		{ 1.00, 0x8F, 36, 64 },
		{ 1.05, 0xBF, 64, 0 },                            -- release
		{ 1.10, 0xB0, 64, 127 },                          -- press, then the transport stops
	},
	[1] = {
		{ 0.12, 0x9E, 100, 33 }, { 0.62, 0x8E, 100, 0 },
	},
}

local schedules = {}
local header = 3 -- shmem ints: [0] records logged, [1] schedule length, [2] pattern
local maxlog = 1024

function dsp_ioconfig ()
	return { { midi_in = 1, midi_out = 1, audio_in = -1, audio_out = -1 }, }
end

function dsp_params ()
	return { { ["type"] = "input", name = "Pattern", min = 0, max = 1, default = 0, integer = true, enum = false } }
end

function dsp_init (rate)
	for p, list in pairs (patterns) do
		schedules[p] = {}
		for i, e in ipairs (list) do
			schedules[p][i] = { sample = math.floor (e[1] * rate + 0.5), data = { e[2], e[3], e[4] } }
		end
	end
	self:shmem ():allocate (header + 5 * maxlog)
	self:shmem ():clear ()
end

local function log (index, sample, data)
	local shm = self:shmem ()
	local n = shm:atomic_get_int (0)
	if n >= maxlog then return end
	local a = shm:to_int (header):array ()
	a[n * 5 + 1] = index; a[n * 5 + 2] = sample
	a[n * 5 + 3] = data[1]; a[n * 5 + 4] = data[2] or -1; a[n * 5 + 5] = data[3] or -1
	shm:atomic_set_int (0, n + 1)
end

function dsp_run (ins, outs, n_samples)
	for c = 1, #ins do
		if ins[c] ~= outs[c] then ARDOUR.DSP.copy_vector (outs[c], ins[c], n_samples) end
	end

	local pattern = math.floor (CtrlPorts:array ()[1] + 0.5)
	local schedule = schedules[pattern] or {}
	local shm = self:shmem ()
	shm:atomic_set_int (1, #schedule)
	shm:atomic_set_int (2, pattern)

	-- midiout must stay in time order: merge what passes through with what is played here.
	local events, seq = {}, 0
	for _, b in pairs (midiin) do
		seq = seq + 1
		events[#events + 1] = { time = b["time"], data = b["data"], seq = seq }
	end
	if Session:transport_rolling () then
		local pos = Session:transport_sample ()
		for i, e in ipairs (schedule) do
			if e.sample >= pos and e.sample < pos + n_samples then
				seq = seq + 1
				events[#events + 1] = { time = e.sample - pos + 1, data = e.data, seq = seq } -- 1-based
				log (i, e.sample, e.data)
			end
		end
	end
	table.sort (events, function (x, y) return x.time < y.time or (x.time == y.time and x.seq < y.seq) end)
	for i, e in ipairs (events) do
		midiout[i] = { time = e.time, data = e.data }
	end
end
