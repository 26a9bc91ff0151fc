ardour {
	["type"]    = "dsp",
	name        = "Corvadel Test MIDI Recorder",
	category    = "Utility",
	license     = "MIT",
	author      = "Corvadel tests",
	description = [[Logs every MIDI event that reaches its place in the chain into shared memory, and passes everything through unchanged.]]
}

-- shmem ints: [0] records logged, [1] cycles in which a MIDI buffer was mapped to the input,
-- [2] cycles run; then 5 ints per record: kind (1 rolling, 2 stopped), sample, status, data1, data2.
-- The cycle counts let a test tell "heard nothing" apart from "had nothing to listen to".
local header = 3
local maxlog = 2048
local n_out

function dsp_ioconfig ()
	return { { midi_in = 1, midi_out = 1, audio_in = -1, audio_out = -1 }, }
end

function dsp_init (rate)
	self:shmem ():allocate (header + 5 * maxlog)
	self:shmem ():clear ()
end

function dsp_configure (ins, outs)
	n_out = outs
end

local function put (kind, t, b1, b2, b3)
	local shm = self:shmem ()
	local n = shm:atomic_get_int (0)
	if n >= maxlog then return end
	local a = shm:to_int (header):array ()
	a[n * 5 + 1] = kind; a[n * 5 + 2] = t; a[n * 5 + 3] = b1; a[n * 5 + 4] = b2; a[n * 5 + 5] = b3
	shm:atomic_set_int (0, n + 1)
end

function dsp_runmap (bufs, in_map, out_map, n_samples, offset)
	ARDOUR.DSP.process_map (bufs, n_out, in_map, out_map, n_samples, offset)
	local shm = self:shmem ()
	shm:atomic_set_int (2, shm:atomic_get_int (2) + 1)
	local ib = in_map:get (ARDOUR.DataType ("midi"), 0)
	if ib == ARDOUR.ChanMapping.Invalid then return end
	shm:atomic_set_int (1, shm:atomic_get_int (1) + 1)
	local kind = Session:transport_rolling () and 1 or 2
	local pos = Session:transport_sample ()
	for _, e in pairs (bufs:get_midi (ib):table ()) do
		local d = e:buffer ():array ()
		put (kind, pos + e:time (), d[1], e:size () > 1 and d[2] or -1, e:size () > 2 and d[3] or -1)
	end
end
