# Names the platform backend that serves an executable: win32, posix or fake.
function(tidewell_use_platform target backend)
    set_property(TARGET ${target} PROPERTY TIDEWELL_PLATFORM ${backend})
endfunction()
