# The layers below the windows must never pull in Qt Widgets: the editor model,
# the link and the device code are tested without a display.
set(_vtr8_widget_free vtr8_linearization vtr8_ui vtr8_link vtr8_sim vtr8_device
    vtr8_model vtr8_transfer)
foreach(lib IN LISTS _vtr8_widget_free)
  if(TARGET ${lib})
    get_target_property(_libs ${lib} LINK_LIBRARIES)
    get_target_property(_ilibs ${lib} INTERFACE_LINK_LIBRARIES)
    foreach(dep IN LISTS _libs _ilibs)
      if(dep MATCHES "Widgets")
        message(FATAL_ERROR "${lib} links ${dep}; widgets belong to src/app windows only")
      endif()
    endforeach()
  endif()
endforeach()
